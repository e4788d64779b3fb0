#include "app/UnitResultsCheck.h"

#include "common/UnitMessageBox.h"
#include "measurement/UnitData.h"

namespace mlb {

namespace {

const QString kOk = QStringLiteral("Ok");

void Icon(const TResultsCheck& c, int picture) {
  if (c.drawIcon) c.drawIcon(picture);
}

// The five-marks question; false when the user stops.
bool FewMarksGoOn() {
  TMessage m(icInformation);
  m.AddButton(QStringLiteral("Zrušit"), btAnnuler)
      .AddButton(QStringLiteral("Pokračovat"), btIgnorer)
      .AddParagraph(QStringLiteral("Výpočet rychlosti nebo zrychlení vyžaduje nejméně pět značek "
                                   "na trajektorii kvůli věrohodnosti."));
  return m.Execute() == 1;
}

}  // namespace

bool CheckResultsReady(TData& data, TModeVideo mode, const TResultsCheck& c) {
  const TEchelle& scale = data.Echelle();
  if (!data.ScaleComplete()) {
    if (scale.ActiveKind == skSingle) {
      Icon(c, 6);
    } else {
      if (scale.PointsNumber[skHoriz] < 2 || !(scale.Length[skHoriz] > 0)) Icon(c, 7);
      if (scale.PointsNumber[skVert] < 2 || !(scale.Length[skVert] > 0)) Icon(c, 8);
    }
    TMessage(icCustom)
        .AddButton(kOk, btOk)
        .AddParagraph(QStringLiteral("Nejprve zadejte za pomoci známé délky měřítko."))
        .AddParagraph(QString())
        .AddParagraph(QStringLiteral("Použijte tlačítko Měřítko."))
        .Execute();
    return false;
  }
  if (mode == mvRepereFixe) {
    const int n = data.MarksNumberPerFrame();
    if (data.MinMarksPerOrder() <= 2) {
      Icon(c, 10);
      TMessage m(icCustom);
      m.AddButton(kOk, btOk);
      if (n > 1)
        m.AddParagraph(QStringLiteral("Máte vybráno současné označení poloh %1 předmětů.").arg(n))
            .AddParagraph(QString());
      m.AddParagraph(QStringLiteral("Nejprve umístěte alespoň tři značky na předmět."))
          .AddParagraph(QString())
          .AddParagraph(QStringLiteral("Použijte tlačítko Značky."))
          .Execute();
      return false;
    }
    if (data.OriginPlaced() != 1) {
      Icon(c, 9);
      TMessage(icCustom)
          .AddButton(kOk, btOk)
          .AddParagraph(QStringLiteral("Nejprve umístěte počátek soustavy souřadnic."))
          .AddParagraph(QString())
          .AddParagraph(QStringLiteral("Použijte tlačítko Souřadnice."))
          .Execute();
      return false;
    }
    if (data.MinMarksPerOrder() <= 4 && !FewMarksGoOn()) return false;
  } else if (mode == mvTransparent) {
    if (data.MarkCount() <= 2) {
      Icon(c, 11);
      TMessage(icCustom)
          .AddButton(kOk, btOk)
          .AddParagraph(QStringLiteral("Nejprve umístěte alespoň tři značky na trajektorii."))
          .AddParagraph(QString())
          .AddParagraph(QStringLiteral("Za pomoci myši, táhněte-pusťte průsvitku a poté označte "
                                       "polohu předmětu."))
          .Execute();
      return false;
    }
    if (data.MarkCount() <= 4 && !FewMarksGoOn()) return false;
  }
  if (c.changeDefaultNames && data.HasDefaultName() && c.askObjectNames && *c.askObjectNames) {
    Icon(c, 12);
    TMessage m(icCustom);
    m.SetCheckBox(QStringLiteral("Nezobrazovat tento dialog"), false)
        .AddButton(QStringLiteral("Zadat název"), btCustom)
        .AddButton(QStringLiteral("Zrušit"), btAnnuler)
        .AddButton(QStringLiteral("Pokračovat"), btIgnorer)
        .AddParagraph(QStringLiteral("Jméno předmětu je přednastaveno (například « Bod č.1 »)."))
        .AddParagraph(QString())
        .AddParagraph(QStringLiteral("Kvůli přehlednosti výsledků je však vhodné pojmenovat "
                                     "předmět více vysvětlujícím způsobem."));
    const int answer = m.Execute();
    *c.askObjectNames = !m.CheckBoxChecked();
    if (answer == 1) return false;
    if (answer == 0 && c.openNames) c.openNames();
  }
  if (c.prepare && !c.prepare()) {
    TMessage(icWarning)
        .AddButton(kOk, btOk)
        .AddParagraph(
            QStringLiteral("Výpočetní jednotka detekovala chybu. Běžící operace bude zrušena."))
        .Execute();
    return false;
  }
  return true;
}

}  // namespace mlb
