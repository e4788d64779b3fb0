#include "app/UnitMainForm.h"

#include <cmath>
#include <map>

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>

#include "app/UnitMessageDialog.h"
#include "app/UnitResultsCheck.h"
#include "common/UnitGraphUtils.h"
#include "common/UnitIniFile.h"
#include "common/UnitNumberFormat.h"
#include "common/UnitOptions.h"
#include "common/UnitPaths.h"
#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "resources/UnitIcons.h"
#include "video/UnitVideo.h"

namespace mlb {

namespace {

constexpr int kModeBarHeight = 45, kBarWidth = 42, kPanelHeight = 38;
const QString kOk = QStringLiteral("Ok");

// A hint "short|long": the short part is the tooltip, the long part goes to
// the status bar.
void SetHint(QWidget* w, const QString& hint) {
  const int bar = hint.indexOf(QLatin1Char('|'));
  w->setToolTip(bar < 0 ? hint : hint.left(bar));
  w->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

// "Desc|*.a;*.b|Desc2|*.c" to Qt's "Desc (*.a *.b);;Desc2 (*.c)".
QString QtFilter(const QString& filter, QStringList* names = nullptr) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString pattern = parts[i + 1];
    pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
    QString desc = parts[i];
    const int paren = desc.indexOf(QLatin1Char('('));
    if (paren > 0) desc = desc.left(paren).trimmed();
    out << desc + QStringLiteral(" (") + pattern + QLatin1Char(')');
  }
  if (names) *names = out;
  return out.join(QStringLiteral(";;"));
}

const QString kOpenFilter = QStringLiteral(
    "Videosoubor (*.avi,*.mpg,*.mpeg,*.wmv,*.mov)|*.avi;*.mpg;*.mpeg;*.wmv;*.mov|Soubor Motilab "
    "(*.mlb)|*.mlb");

}  // namespace

struct TMainForm::Impl {
  QWidget* client = nullptr;
  QWidget* modeBar = nullptr;
  QWidget* toolBar = nullptr;
  QWidget* resultsBar = nullptr;
  QWidget* panel = nullptr;
  std::map<QString, QToolButton*> buttons;
  std::vector<QToolButton*> toolGroup;  // at most one pressed
  std::map<QString, QLineEdit*> boxes;
  std::map<QString, QMenu*> menus;
  std::map<QString, QAction*> actions;
  QMenu* popup = nullptr;
};

TMainForm::TMainForm(const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent),
      d_(std::make_unique<Impl>()),
      settingsFile_(settingsFile.isEmpty() ? SettingsFile() : settingsFile),
      options_(std::make_unique<TOptions>()),
      messageBox_(std::make_unique<TQtMessageBox>(this)) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Motilab"));
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(10);
  setFont(f);
  setMinimumSize(632, 452);
  InstallMessageBox(messageBox_.get());
  if (settingsFile_.isEmpty())
    TMessage(icWarning)
        .AddButton(kOk, btOk)
        .AddParagraph(QStringLiteral("Vytvoření souboru záchrany selhalo."))
        .AddParagraph(QString())
        .AddParagraph(QStringLiteral("Některé funkce programu nebudou fungovat."))
        .Execute();
  else
    options_->Load(settingsFile_);
  TIniFile ini;
  if (!settingsFile_.isEmpty() && ini.LoadFromFile(settingsFile_)) {
    recent_.SetMaximum(options_->Int(QStringLiteral("EditMRU_Value")));
    recent_.Load(ini);
  }

  d_->client = new QWidget(this);
  d_->client->setAutoFillBackground(true);
  QPalette pal = d_->client->palette();
  pal.setColor(QPalette::Window, Qt::black);
  d_->client->setPalette(pal);
  setCentralWidget(d_->client);
  view_ = new TVideo(d_->client);
  data_ = std::make_unique<TData>(view_);
  results_ = std::make_unique<TResCalc>(*data_);
  view_->SetData(data_.get());
  project_ = std::make_unique<TProjectFiles>(*data_, *this, *this);
  statusBar()->setFixedHeight(22);
  BuildBars();
  BuildMenus();
  BindEvents();
  ApplySettings();
  options_->OnChange = [this] { ApplySettings(); };
  ApplyVisibility();
  SetEnabledState(false);
  if (const QScreen* s = QApplication::primaryScreen()) setGeometry(s->availableGeometry());
}

TMainForm::~TMainForm() {
  StopActivities();
  if (!settingsFile_.isEmpty()) {
    TIniFile ini;
    ini.LoadFromFile(settingsFile_);
    recent_.Save(ini);
    ini.SaveToFile(settingsFile_);
  }
  view_->SetData(nullptr);
  InstallMessageBox(nullptr);
}

// ------------------------------------------------------------------ building

void TMainForm::BuildBars() {
  Impl& d = *d_;
  // The bars are drawn in the button face colour over the black client.
  QPalette face = QApplication::palette();
  face.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
  const auto button = [&](QWidget* parent, const QString& name, const QString& icon,
                          const QString& hint, bool checkable) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(ButtonIcon(icon));
    b->setIconSize(QSize(26, 26));
    b->setCheckable(checkable);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    SetHint(b, hint);
    d.buttons[name] = b;
    return b;
  };
  d.modeBar = new QWidget(d.client);
  d.modeBar->setAutoFillBackground(true);
  d.modeBar->setPalette(face);
  int x = 12;
  for (const auto& [name, icon, hint, mode] :
       {std::tuple(QStringLiteral("ButtonModeRepereFixe"), QStringLiteral("ModeRepereFixe"),
                   QStringLiteral("Ruční označování|Umístit jednu nebo více značek a video se "
                                  "posune automaticky o jeden nebo více snímků"),
                   mvRepereFixe),
        std::tuple(QStringLiteral("ButtonModeTransparent"), QStringLiteral("ModeTransparent"),
                   QStringLiteral("Průsvitka|Průsvitka nahrazuje průhledný papír, na kterém jsou "
                                  "dvě navzájem kolmé osy tvořící soustavu souřadnic"),
                   mvTransparent)}) {
    QToolButton* b = button(d.modeBar, name, icon, hint, true);
    b->setGeometry(x, 3, 39, 39);
    x += 41;
    const TModeVideo m = mode;
    connect(b, &QToolButton::clicked, this, [this, m] {
      if (view_->Mode() != m) view_->SetMode(m);
      ModeRefused();  // the buttons follow the mode whatever happened
    });
  }

  d.toolBar = new QWidget(d.client);
  d.toolBar->setAutoFillBackground(true);
  d.toolBar->setPalette(face);
  struct Tool {
    QString name, icon, hint;
    std::function<void()> click;
  };
  const std::vector<Tool> tools = {
      {QStringLiteral("ButtonOutilZoom"), QStringLiteral("Zoom"),
       QStringLiteral("Zvětšit nebo zmenšit snímek|Umístit kurzor myši nad oblast, kterou chcete "
                      "zvětšit nebo zmenšit"),
       [this] { view_->SetTool(ovZoom); }},
      {QStringLiteral("ButtonOutilPan"), QStringLiteral("Pan"),
       QStringLiteral("Posunutí|Zvětšení snímku musí být větší než 100%"),
       [this] {
         if (view_->Zoom() == 100)
           TMessage(icInformation)
               .AddButton(kOk, btOk)
               .AddParagraph(QStringLiteral("Přesouvání snímku ve svém rámu je možné pouze "
                                            "tehdy, je-li zvětšení větší než 100%."))
               .Execute();
         view_->SetTool(ovPan);
       }},
      {QStringLiteral("ButtonOutilEchelle"), QStringLiteral("Echelle"),
       QStringLiteral("Definovat měřítko|Kalibrovat rozměry obrazu zadáním vzdálenosti dvou bodů"),
       [this] {
         data_->SetScaleKind(skSingle);
         data_->SetTool(otEchelle);
       }},
      {QStringLiteral("ButtonOutilEchelleVert"), QStringLiteral("EchelleVert"),
       QStringLiteral("Definovat svislé měřítko| Kalibrovat rozměry obrazu zadáním vzdálenosti "
                      "dvou bodů "),
       [this] {
         data_->SetScaleKind(skVert);
         data_->SetTool(otEchelle);
         Repaint();
       }},
      {QStringLiteral("ButtonOutilEchelleHoriz"), QStringLiteral("EchelleHoriz"),
       QStringLiteral("Definovat vodorovné měřítko| Kalibrovat rozměry obrazu zadáním "
                      "vzdálenosti dvou bodů "),
       [this] {
         data_->SetScaleKind(skHoriz);
         data_->SetTool(otEchelle);
         Repaint();
       }},
      {QStringLiteral("ButtonOutilMarque"), QStringLiteral("Marque"),
       QStringLiteral("Umístit značky na trajektorii|Zatrhnout postupné polohy projektilu. "
                      "Animace postoupí automaticky"),
       [this] { data_->SetTool(otMarque); }},
      {QStringLiteral("ButtonOutilOrigine"), QStringLiteral("Origine"),
       QStringLiteral("Vybrat, přemístit nebo otočit soustavu souřadnou|Definovat počátek "
                      "kartézské souřadné soustavy. Hodnoty souřadnic budou záviset na této volbě"),
       [this] { data_->SetTool(otOrigine); }},
      {QStringLiteral("ButtonOutilTsp"), QStringLiteral("Tsp"),
       QStringLiteral("Použít průsvitku|Použít průsvitku k vysvětlení relativnosti pohybů"),
       [this] { data_->SetTool(otTsp); }},
      {QStringLiteral("ButtonOutilDeplacer"), QStringLiteral("Deplacer"),
       QStringLiteral("Přemístit značku|Přemístit značku na obrázku pomocí myši"),
       [this] { data_->SetTool(otDeplacer); }},
      {QStringLiteral("ButtonOutilEffacer"), QStringLiteral("Effacer"),
       QStringLiteral("Smazat značky|Smazat jednu značku; smazat více značek v obdélníkové "
                      "oblasti; smazat značky na obrázku"),
       [this] { data_->SetTool(otEffacer); }},
  };
  for (const Tool& t : tools) {
    QToolButton* b = button(d.toolBar, t.name, t.icon, t.hint, true);
    d.toolGroup.push_back(b);
    const auto click = t.click;
    connect(b, &QToolButton::clicked, this, [this, b, click] {
      if (!view_->Opened()) {
        b->setChecked(false);
        return;
      }
      click();
      if (!b->isChecked()) b->setChecked(true);  // pressing the pressed tool keeps it
    });
  }

  d.resultsBar = new QWidget(d.client);
  d.resultsBar->setAutoFillBackground(true);
  d.resultsBar->setPalette(face);
  const QString later = QStringLiteral(" (kontrola měření; okno výsledků zatím v programu není)");
  int view = 0;
  for (const auto& [name, icon, hint] :
       {std::tuple(QStringLiteral("ButtonMenuTableau"), QStringLiteral("Tableau"),
                   QStringLiteral("Tabulka hodnot")),
        std::tuple(QStringLiteral("ButtonMenuTemps"), QStringLiteral("Temps"),
                   QStringLiteral("Časové závislosti")),
        std::tuple(QStringLiteral("ButtonMenuReferentiel"), QStringLiteral("Referentiel"),
                   QStringLiteral("Trajektorie")),
        std::tuple(QStringLiteral("ButtonMenuVecteur"), QStringLiteral("Vecteur"),
                   QStringLiteral("Vektory")),
        std::tuple(QStringLiteral("ButtonMenuFormule"), QStringLiteral("Formule"),
                   QStringLiteral("Osobní vzorce"))}) {
    QToolButton* b =
        button(d.resultsBar, name, icon, hint + QLatin1Char('|') + hint + later, false);
    const int v = view++;
    connect(b, &QToolButton::clicked, this, [this, v] { ResultsCommand(v); });
  }

  d.panel = new QWidget(d.client);
  d.panel->setAutoFillBackground(true);
  d.panel->setPalette(face);
  const std::vector<std::tuple<QString, QString, QString, std::function<void()>>> nav = {
      {QStringLiteral("ButtonVideoLecture"), QStringLiteral("Lecture"), QStringLiteral("Přehrát"),
       [this] { view_->Play(view_->VisibleIndex(), view_->VisibleCount() - 1); }},
      {QStringLiteral("ButtonVideoPause"), QStringLiteral("Pause"), QStringLiteral("Zastavit"),
       [this] { view_->Stop(); }},
      {QStringLiteral("ButtonVideoRetour"), QStringLiteral("Retour"),
       QStringLiteral("První snímek"), [this] { view_->GoTo(0); }},
      {QStringLiteral("ButtonVideoPred"), QStringLiteral("Pred"),
       QStringLiteral("Předchozí snímek"), [this] { view_->GoTo(view_->VisibleIndex() - 1); }},
      {QStringLiteral("ButtonVideoSucc"), QStringLiteral("Succ"),
       QStringLiteral("Následující snímek"),
       [this] {
         if (view_->VisibleIndex() + 1 < view_->VisibleCount())
           view_->GoTo(view_->VisibleIndex() + 1);
       }},
      {QStringLiteral("ButtonVideoAvance"), QStringLiteral("Avance"),
       QStringLiteral("Poslední snímek"), [this] { view_->GoTo(view_->VisibleCount() - 1); }},
  };
  for (const auto& [name, icon, hint, act] : nav) {
    QToolButton* b = button(d.panel, name, icon, hint, false);
    b->setAutoRaise(false);
    b->setIconSize(QSize(18, 18));
    const auto a = act;
    connect(b, &QToolButton::clicked, this, [this, a] {
      if (view_->Opened()) a();
    });
  }
  trackBar_ = new QSlider(Qt::Horizontal, d.panel);
  trackBar_->setObjectName(QStringLiteral("TrackBar"));
  trackBar_->setPageStep(5);
  trackBar_->setFocusPolicy(Qt::NoFocus);
  SetHint(trackBar_, QStringLiteral("Vyhledat"));
  connect(trackBar_, &QSlider::valueChanged, this, [this](int v) {
    if (view_->Opened()) view_->GoTo(v);
  });
  for (const auto& [name, hint] :
       {std::pair(QStringLiteral("EditImage"),
                  QStringLiteral("Číslo snímku a jejich celkový počet|Levé tlačítko = zadat číslo "
                                 "nového snímku pomocí klávesnice")),
        std::pair(QStringLiteral("EditMarque"),
                  QStringLiteral("Počet značek|Celkový počet umístěných značek")),
        std::pair(
            QStringLiteral("EditZoom"),
            QStringLiteral("Zvětšení snímku|Zvětšení snímku; levé tlačítko = vrátit na 100%")),
        std::pair(QStringLiteral("EditAngle"),
                  QStringLiteral("Úhel otočení soustavy souřadnic|Levé tlačítko = zadat úhel "
                                 "otočení soustavy souřadnic pomocí klávesnice"))}) {
    auto* e = new QLineEdit(d.panel);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, ToQColor(0x009BDFC4));
    e->setPalette(p);
    SetHint(e, hint);
    e->installEventFilter(this);
    d.boxes[name] = e;
  }
  // The view's own hint follows the tool.
  view_->setMouseTracking(true);
}

void TMainForm::BuildMenus() {
  Impl& d = *d_;
  QMenuBar* bar = menuBar();
  const auto menu = [&](QMenu* parent, const QString& name, const QString& caption) {
    QMenu* m = parent ? parent->addMenu(caption) : bar->addMenu(caption);
    m->setObjectName(name);
    d.menus[name] = m;
    connect(m, &QMenu::aboutToShow, this, [this, m] { UpdateMenu(m); });
    return m;
  };
  const auto item = [&](QMenu* m, const QString& name, const QString& caption,
                        std::function<void()> act) {
    QAction* a = m->addAction(caption);
    a->setObjectName(name);
    d.actions[name] = a;
    connect(a, &QAction::triggered, this, [act] { act(); });
    return a;
  };
  QMenu* file = menu(nullptr, QStringLiteral("MenuFichier"), QStringLiteral("Soubor"));
  QMenu* open = menu(file, QStringLiteral("MenuFichierOuvrir"), QStringLiteral("Otevřít"));
  item(open, QStringLiteral("MenuFichierOuvrirVideo"), QStringLiteral("videosekvenci"),
       [this] { ShowOpenDialog(false); });
  item(open, QStringLiteral("MenuFichierOuvrirMlb"), QStringLiteral("soubor MLB"),
       [this] { ShowOpenDialog(true); });
  menu(file, QStringLiteral("MenuFichierRecent"), QStringLiteral("Otevřít předchozí soubor"));
  item(file, QStringLiteral("MenuFichierFermerVideo"), QStringLiteral("Zavřít video"),
       [this] { CloseVideoFile(); });
  item(file, QStringLiteral("MenuFichierEnregistrer"), QStringLiteral("Uložit"),
       [this] { SaveProjectFile(); });
  file->addSeparator();
  item(file, QStringLiteral("MenuFichierQuitter"), QStringLiteral("Konec"), [this] { close(); });

  QMenu* view = menu(nullptr, QStringLiteral("MenuAffichage"), QStringLiteral("Zobrazení"));
  item(view, QStringLiteral("MenuAffichageAnnuler"), QStringLiteral("Zrušit  (Ctrl A)"), [this] {
    data_->Undo();
    Repaint();
    view_->RefreshCursor();
    RefreshMarkBox();
  });
  item(view, QStringLiteral("MenuAffichageLoupe"), QStringLiteral("Lupa"), [this] {
    view_->Loupe()->setVisible(!view_->Loupe()->isVisible());
    Repaint();
  })->setCheckable(true);
  item(view, QStringLiteral("MenuAffichageCacherImage"), QStringLiteral("Skrýt snímek"), [this] {
    view_->SetHideImage(!view_->HideImage());
  })->setCheckable(true);
  QMenu* go = menu(view, QStringLiteral("MenuAffichageAller"), QStringLiteral("Jít na"));
  item(go, QStringLiteral("MenuAffichageAllerDerniereImagePointee"),
       QStringLiteral("poslední označovaný snímek"), [this] { view_->GoToLastPointed(); });
  item(go, QStringLiteral("MenuAffichageAllerImageNumero"), QStringLiteral("snímek č. ..."),
       [this] {
         valueBox_.SetTypeSaisie(tsNumImg, Context());
         if (Ask(valueBox_)) view_->GoTo(valueBox_.IntValue);
       });
  const auto radios = [&](QMenu* m, const QString& prefix, const QStringList& captions,
                          std::function<void(int)> act) {
    auto* group = new QActionGroup(m);
    for (int i = 0; i < captions.size(); ++i) {
      QAction* a = item(m, prefix + QString::number(i), captions[i], [act, i] { act(i); });
      a->setCheckable(true);
      group->addAction(a);
    }
  };
  QMenu* size = menu(view, QStringLiteral("MenuAffichageTaille"), QStringLiteral("Velikost"));
  radios(size, QStringLiteral("MenuAffichageTaille"),
         {QStringLiteral("malá"), QStringLiteral("střední"), QStringLiteral("velká")},
         [this](int i) {
           options_->SetInt(QStringLiteral("PenSize_Value"), i);
           ApplySettings();
           Repaint();
         });
  QMenu* numbers =
      menu(view, QStringLiteral("MenuAffichageNumeroter"), QStringLiteral("Číslování"));
  radios(
      numbers, QStringLiteral("MenuAffichageNumeroter"),
      {QStringLiteral("pod značkou"), QStringLiteral("vpravo od značky"), QStringLiteral("žádné")},
      [this](int i) {
        data_->SetMarksNumberPosition(static_cast<std::uint8_t>(i == 0 ? 1 : i == 1 ? 2 : 0));
        Repaint();
      });
  QMenu* draw = menu(view, QStringLiteral("MenuAffichageDessiner"), QStringLiteral("Nakreslit"));
  radios(draw, QStringLiteral("MenuAffichageDessiner"),
         {QStringLiteral("poslední značku"), QStringLiteral("všechny značky"),
          QStringLiteral("jiné ...")},
         [this](int i) {
           if (i == 0) {
             data_->SetMarksIsAllDrawn(false);
             data_->SetMarksNumberToDraw(1);
           } else if (i == 1) {
             data_->SetMarksIsAllDrawn(true);
           } else {
             data_->SetMarksIsAllDrawn(false);
             valueBox_.SetTypeSaisie(tsNbMqDrawn, Context());
             if (Ask(valueBox_)) data_->SetMarksNumberToDraw(valueBox_.IntValue);
           }
           Repaint();
         });
  QMenu* erase = menu(view, QStringLiteral("MenuAffichageEffacer"), QStringLiteral("Smazat"));
  const auto then = [this](std::function<void()> f) {
    return [this, f] {
      f();
      Repaint();
      RefreshMarkBox();
      RefreshAngleBox();
    };
  };
  item(erase, QStringLiteral("MenuAffichageEffacerMarques"), QStringLiteral("značky"),
       then([this] { data_->EraseAllMarks(); }));
  item(erase, QStringLiteral("MenuAffichageEffacerTransparent"), QStringLiteral("průsvitka"),
       then([this] { data_->EraseAllMarks(); }));
  item(erase, QStringLiteral("MenuAffichageEffacerRepere"), QStringLiteral("soustava souřadnic"),
       then([this] { data_->EraseOrigin(); }));
  item(erase, QStringLiteral("MenuAffichageEffacerEchelle"), QStringLiteral("měřítko"),
       then([this] {
         data_->EraseScale();
         NavigationRule();
       }));
  item(erase, QStringLiteral("MenuAffichageEffacerTout"), QStringLiteral("všechno"), then([this] {
         data_->EraseAll();
         NavigationRule();
       }));

  QMenu* measure = menu(nullptr, QStringLiteral("MenuMesures"), QStringLiteral("Měření"));
  item(measure, QStringLiteral("MenuMesuresTemps"), QStringLiteral("Interval mezi dvěma snímky"),
       [this] {
         timeBox_.OnApplyVideoPeriod = [this](double s) { data_->SetRequiredDuration(s); };
         timeBox_.Execute(view_->Opened(), view_->FrameDuration(), data_->RequiredDuration(), this);
         if (timeBox_.Confirmed) data_->SetRequiredDuration(timeBox_.Period);
       });
  QMenu* perFrame = menu(measure, QStringLiteral("MenuMesuresNbMarqueParImage"),
                         QStringLiteral("Počet značek na jeden snímek"));
  radios(perFrame, QStringLiteral("MenuMesuresNbMarqueParImage"),
         {QStringLiteral("jedna"), QStringLiteral("dvě"), QStringLiteral("tři"),
          QStringLiteral("jiné ...")},
         [this](int i) {
           if (Button(QStringLiteral("ButtonOutilTsp"))->isChecked()) {
             TMessage(icInformation)
                 .AddButton(kOk, btOk)
                 .AddParagraph(QStringLiteral("Kvůli přehlednosti nelze umístit více než jednu "
                                              "značku na snímek a průsvitku."))
                 .Execute();
             return;
           }
           if (i < 3) {
             data_->SetMarksNumberPerFrame(i + 1);
           } else {
             valueBox_.SetTypeSaisie(tsNbMqParImg, Context());
             if (Ask(valueBox_)) data_->SetMarksNumberPerFrame(valueBox_.IntValue);
           }
           view_->RefreshCursor();
           Repaint();
         });
  QMenu* advance = menu(measure, QStringLiteral("MenuMesuresNbImagesEntreMarques"),
                        QStringLiteral("Automaticky posunout"));
  radios(advance, QStringLiteral("MenuMesuresNbImagesEntreMarques"),
         {QStringLiteral("o jeden snímek"), QStringLiteral("jiné ...")}, [this](int i) {
           if (i == 0) {
             data_->SetFramesNumberBetweenTwoMarks(1);
           } else {
             valueBox_.SetTypeSaisie(tsNbImgStep, Context());
             if (Ask(valueBox_)) data_->SetFramesNumberBetweenTwoMarks(valueBox_.IntValue);
           }
         });
  item(measure, QStringLiteral("MenuMesuresValeurEchelle"), QStringLiteral("Měřítka"),
       [this] { AskLength(skSingle); });
  item(measure, QStringLiteral("MenuMesuresValeurEchelleHoriz"),
       QStringLiteral("Délka vodorovného měřítka"), [this] { AskLength(skHoriz); });
  item(measure, QStringLiteral("MenuMesuresValeurEchelleVert"),
       QStringLiteral("Délka svislého měřítka"), [this] { AskLength(skVert); });
  item(measure, QStringLiteral("MenuMesuresAngleRotation"),
       QStringLiteral("Úhel otočení soustavy souřadnic"), [this] {
         valueBox_.SetTypeSaisie(tsAngle, Context());
         if (Ask(valueBox_)) {
           data_->SetAxisAngle(valueBox_.RealValue);
           Repaint();
         }
       });
  item(measure, QStringLiteral("MenuMesuresInverserAxeX"), QStringLiteral("Změnit směr osy x"),
       [this] {
         data_->SetDirectX(!data_->DirectX());
         Repaint();
       })
      ->setCheckable(true);
  item(measure, QStringLiteral("MenuMesuresInverserAxeY"), QStringLiteral("Změnit směr osy y"),
       [this] {
         data_->SetDirectY(!data_->DirectY());
         Repaint();
       })
      ->setCheckable(true);

  QMenu* help = menu(nullptr, QStringLiteral("MenuAide"), QStringLiteral("Nápověda"));
  item(help, QStringLiteral("MenuAideMotilab"), QStringLiteral("Nápověda Motilab"), [] {
    OpenHelp(
        [](const QString& page) { return QDesktopServices::openUrl(QUrl::fromLocalFile(page)); });
  });
  item(help, QStringLiteral("MenuAideApropos"), QStringLiteral("O programu"), [this] {
    TMessage(icInformation)
        .AddButton(kOk, btOk)
        .AddParagraph(QStringLiteral("Motilab ") + QCoreApplication::applicationVersion())
        .AddParagraph(QStringLiteral("Měření pohybu z videa pro hodiny fyziky."))
        .Execute();
  });

  // The context menu: each item presses the tool button of the same name.
  d.popup = new QMenu(this);
  d.popup->setObjectName(QStringLiteral("PopupMenu"));
  for (const auto& [name, caption, target] :
       {std::tuple(QStringLiteral("PopupMenuZoom"), QStringLiteral("Zvětšit"),
                   QStringLiteral("ButtonOutilZoom")),
        std::tuple(QStringLiteral("PopupMenuPan"), QStringLiteral("Přemístit obrázek v jeho rámu"),
                   QStringLiteral("ButtonOutilPan")),
        std::tuple(QStringLiteral("PopupMenuMarque"), QStringLiteral("Umístit značky"),
                   QStringLiteral("ButtonOutilMarque")),
        std::tuple(QStringLiteral("PopupMenuEchelle"), QStringLiteral("Zadat měřítko"),
                   QStringLiteral("ButtonOutilEchelle")),
        std::tuple(QStringLiteral("PopupMenuEchelleVert"), QStringLiteral("Zadat svislé měřítko"),
                   QStringLiteral("ButtonOutilEchelleVert")),
        std::tuple(QStringLiteral("PopupMenuEchelleHoriz"),
                   QStringLiteral("Zadat vodorovné měřítko"),
                   QStringLiteral("ButtonOutilEchelleHoriz")),
        std::tuple(QStringLiteral("PopupMenuOrigine"), QStringLiteral("Vybrat soustavu souřadnou"),
                   QStringLiteral("ButtonOutilOrigine")),
        std::tuple(QStringLiteral("PopupMenuTsp"), QStringLiteral("Použít průsvitku"),
                   QStringLiteral("ButtonOutilTsp")),
        std::tuple(QStringLiteral("PopupMenuDeplacer"), QStringLiteral("Přemístit značku"),
                   QStringLiteral("ButtonOutilDeplacer")),
        std::tuple(QStringLiteral("PopupMenuEffacer"), QStringLiteral("Smazat značky"),
                   QStringLiteral("ButtonOutilEffacer"))}) {
    const QString t = target;
    item(d.popup, name, caption, [this, t] {
      QToolButton* b = Button(t);
      QCoreApplication::processEvents();
      if (b) b->click();
      QCoreApplication::processEvents();
    });
  }
  connect(d.popup, &QMenu::aboutToShow, this, [this] { UpdateMenu(d_->popup); });
}

void TMainForm::BindEvents() {
  TData& data = *data_;
  data.OnMarksChange = [this](TData&) { RefreshMarkBox(); };
  data.OnRepereChange = [this](TData&) { RefreshAngleBox(); };
  data.OnScaleDefine = [this](TData&) { ScaleDefined(); };
  data.OnMarksPerFrameChange = [this](TData&) { Repaint(); };
  data.OnToolChange = [this](TData&) { ToolChanged(); };
  data.OnScaleKindChange = [this](TData& dt) {
    if (dt.Tool() != otEchelle) return;
    const TScaleKind k = dt.Echelle().ActiveKind;
    PressTool(Button(k == skSingle  ? QStringLiteral("ButtonOutilEchelle")
                     : k == skHoriz ? QStringLiteral("ButtonOutilEchelleHoriz")
                                    : QStringLiteral("ButtonOutilEchelleVert")));
  };
  data.OnMarkColorChange = [this](TData&) { Repaint(); };
  view_->OnInvalidateResults = [this](TRefChoice which) { results_->Invalidate(which); };
  view_->OnAfterPaint = [this](TVideo&) { RefreshFrameBox(); };
  view_->OnZoomChange = [this](TVideo&) { RefreshZoomBox(); };
  view_->OnSourceClose = [this](TVideo&) {
    const QSignalBlocker block(trackBar_);
    trackBar_->setValue(0);
    view_->RefreshCursor();
  };
  view_->OnViewToolChange = [this](TVideo&) { ViewToolChanged(); };
  view_->OnSourceOpen = [this](TVideo& v) {
    results_->Invalidate(rcBoth);
    data_->Reset();
    data_->SetRequiredDuration(v.FrameDuration());
    LayoutControls();
    v.RefreshCursor();
    RefreshZoomBox();
    v.show();
  };
  view_->OnModeChange = [this](TVideo&) { ModeChanged(); };
  view_->OnModeRefused = [this](TVideo&) { ModeRefused(); };
}

void TMainForm::ApplySettings() {
  TMeasureSettings s;
  s.separateScales = options_->Bool(QStringLiteral("CheckBox41HorizAndVertScale_Checked"));
  s.elementSize =
      static_cast<std::uint8_t>(std::clamp(options_->Int(QStringLiteral("PenSize_Value")), 0, 2));
  s.numberFromZero = options_->Bool(QStringLiteral("CheckBox36StartByZero_Checked"));
  data_->ApplySettings(s);
  results_->SetStartByZero(s.numberFromZero);
  recent_.SetMaximum(options_->Int(QStringLiteral("EditMRU_Value")));
  ApplyVisibility();
  Repaint();
}

// ------------------------------------------------------------- control state

QToolButton* TMainForm::Button(const QString& name) const {
  const auto it = d_->buttons.find(name);
  return it == d_->buttons.end() ? nullptr : it->second;
}

QLineEdit* TMainForm::Box(const QString& name) const {
  const auto it = d_->boxes.find(name);
  return it == d_->boxes.end() ? nullptr : it->second;
}

QMenu* TMainForm::Menu(const QString& name) const {
  if (name == QLatin1String("PopupMenu")) return d_->popup;
  const auto it = d_->menus.find(name);
  return it == d_->menus.end() ? nullptr : it->second;
}

void TMainForm::ApplyVisibility() {
  const TModeVideo mode = view_->Mode();
  const bool pointing = mode == mvRepereFixe || mode == mvTransparent;
  const bool separate = options_->Bool(QStringLiteral("CheckBox41HorizAndVertScale_Checked"));
  const auto show = [this](const QString& name, bool on) {
    if (QToolButton* b = Button(name)) b->setVisible(on);
  };
  show(QStringLiteral("ButtonOutilZoom"), mode != mvCapture);
  show(QStringLiteral("ButtonOutilPan"), mode != mvCapture);
  show(QStringLiteral("ButtonOutilDeplacer"), pointing);
  show(QStringLiteral("ButtonOutilEffacer"), pointing);
  show(QStringLiteral("ButtonOutilMarque"), mode == mvRepereFixe);
  show(QStringLiteral("ButtonOutilOrigine"), mode == mvRepereFixe);
  show(QStringLiteral("ButtonOutilTsp"), mode == mvTransparent);
  show(QStringLiteral("ButtonOutilEchelle"), pointing && !separate);
  show(QStringLiteral("ButtonOutilEchelleHoriz"), pointing && separate);
  show(QStringLiteral("ButtonOutilEchelleVert"), pointing && separate);
  show(QStringLiteral("ButtonMenuTableau"),
       pointing && options_->Bool(QStringLiteral("CheckBox37GridShowItem_Checked")));
  show(QStringLiteral("ButtonMenuTemps"),
       pointing && options_->Bool(QStringLiteral("CheckBox15TimeShowItem_Checked")));
  show(QStringLiteral("ButtonMenuReferentiel"),
       pointing && options_->Bool(QStringLiteral("CheckBox18TrajectoryShowItem_Checked")));
  show(QStringLiteral("ButtonMenuVecteur"),
       pointing && options_->Bool(QStringLiteral("CheckBox22VectorShowItem_Checked")));
  show(QStringLiteral("ButtonMenuFormule"),
       pointing && options_->Bool(QStringLiteral("CheckBox28FormulaShowItem_Checked")));
  LayoutControls();
}

void TMainForm::SetEnabledState(bool a) {
  const bool on = a && view_->Opened();
  for (const QString& m :
       {QStringLiteral("ButtonModeRepereFixe"), QStringLiteral("ButtonModeTransparent")}) {
    QToolButton* b = Button(m);
    b->setEnabled(on);
  }
  ModeRefused();  // the pressed state of the mode buttons
  for (QWidget* bar : {d_->toolBar, d_->resultsBar})
    for (QToolButton* b : bar->findChildren<QToolButton*>()) {
      b->setEnabled(on);
      if (!on) b->setChecked(false);
    }
  NavigationRule();
  setWindowTitle(on ? view_->FileName() : QStringLiteral("Motilab"));
  if (!a)
    for (auto& [name, box] : d_->boxes) box->clear();
}

void TMainForm::NavigationRule() {
  const bool scaleHalf =
      data_->Tool() == otEchelle && data_->Echelle().PointsNumber[data_->Echelle().ActiveKind] == 1;
  const bool on = view_->Opened() && view_->Mode() != mvCapture && !scaleHalf;
  for (const char* name : {"ButtonVideoLecture", "ButtonVideoPause", "ButtonVideoRetour",
                           "ButtonVideoPred", "ButtonVideoSucc", "ButtonVideoAvance"})
    Button(QLatin1String(name))->setEnabled(on);
  trackBar_->setEnabled(on);
}

void TMainForm::ModeChanged() {
  const TModeVideo mode = view_->Mode();
  const bool pointing = mode == mvRepereFixe || mode == mvTransparent;
  d_->menus[QStringLiteral("MenuAffichage")]->setEnabled(mode != mvCapture);
  d_->menus[QStringLiteral("MenuMesures")]->setEnabled(pointing || mode == mvMontage ||
                                                       mode == mvTracking);
  Box(QStringLiteral("EditAngle"))->setEnabled(mode == mvRepereFixe);
  Box(QStringLiteral("EditMarque"))->setEnabled(mode != mvTracking);
  ApplyVisibility();
  NavigationRule();
  RefreshFrameBox();
  RefreshAngleBox();
  if (mode == mvTransparent && view_->Opened())
    Box(QStringLiteral("EditAngle"))->setText(QStringLiteral(" 0°"));
  ModeRefused();
  view_->RefreshCursor();
  Repaint();
}

void TMainForm::ModeRefused() {
  const bool open = view_->Opened();
  Button(QStringLiteral("ButtonModeRepereFixe"))->setChecked(open && view_->Mode() == mvRepereFixe);
  Button(QStringLiteral("ButtonModeTransparent"))
      ->setChecked(open && view_->Mode() == mvTransparent);
}

void TMainForm::PressTool(QToolButton* b) {
  for (QToolButton* t : d_->toolGroup) t->setChecked(t == b);
}

void TMainForm::ToolChanged() {
  const TOutil t = data_->Tool();
  if (t == otAucun) return;
  view_->SetTool(ovAucun);
  switch (t) {
    case otEchelle: {
      const TScaleKind k = data_->Echelle().ActiveKind;
      PressTool(Button(k == skSingle  ? QStringLiteral("ButtonOutilEchelle")
                       : k == skHoriz ? QStringLiteral("ButtonOutilEchelleHoriz")
                                      : QStringLiteral("ButtonOutilEchelleVert")));
      SetHint(view_, QStringLiteral("|Levé tlačítko (nebo klávesa Enter) = definovat konec ; "
                                    "pravé tlačítko (nebo klávesa Esc) = zrušit ; klavesa Ctrl + "
                                    "šipka směru = přesunout ukazatel myši"));
      Box(QStringLiteral("EditMarque"))->setText(QStringLiteral(" "));
      RefreshAngleBox();
      break;
    }
    case otMarque:
      PressTool(Button(QStringLiteral("ButtonOutilMarque")));
      SetHint(view_, QStringLiteral("|Levé tlačítko (nebo klávesa Enter) = umístit značku ; pravé "
                                    "tlačítko (nebo klávesa Esc) = zrušit ; klávesa Ctrl + šipka "
                                    "směru = přesunout ukazatel myši"));
      break;
    case otDeplacer:
      PressTool(Button(QStringLiteral("ButtonOutilDeplacer")));
      SetHint(view_, QStringLiteral("|Levé tlačítko = táhnout-pustit"));
      break;
    case otOrigine:
      PressTool(Button(QStringLiteral("ButtonOutilOrigine")));
      SetHint(view_, QStringLiteral("|Levé tlačítko (nebo klávesa Enter) = umístit počátek ; "
                                    "pravé tlačítko (nebo klávesa Esc) = zrušit ; klávesa Ctrl + "
                                    "šipka směru = přesunout ukazatel myši"));
      break;
    case otEffacer:
      PressTool(Button(QStringLiteral("ButtonOutilEffacer")));
      SetHint(view_, QStringLiteral("|Levé tlačítko = smazat značku pod kurzorem myši; pravé "
                                    "tlačítko = smazat značky na obrázku"));
      break;
    case otTsp:
      PressTool(Button(QStringLiteral("ButtonOutilTsp")));
      SetHint(view_, QStringLiteral("|Levé tlačítko = táhnout-pustit ; pravé tlačítko nebo Esc = "
                                    "zrušit; klávesy + a - = velikost průsvitky"));
      Box(QStringLiteral("EditAngle"))->clear();
      break;
    default:
      break;
  }
  if (t != otEchelle) {
    RefreshMarkBox();
    if (t != otTsp) RefreshAngleBox();
  }
  NavigationRule();
  view_->RefreshCursor();
  Repaint();
}

void TMainForm::ViewToolChanged() {
  data_->CancelDrags();
  if (view_->Tool() == ovZoom) {
    PressTool(Button(QStringLiteral("ButtonOutilZoom")));
    SetHint(view_, QStringLiteral("|Levé tlačítko = zvětšit ; pravé tlačítko = zmenšit ; stlačit "
                                  "současně klávesu Ctrl pro zpomalení postupu"));
  } else if (view_->Tool() == ovPan) {
    PressTool(Button(QStringLiteral("ButtonOutilPan")));
    SetHint(view_, QStringLiteral("|Posunutí snímku"));
  }
  view_->RefreshCursor();
}

void TMainForm::RefreshFrameBox() {
  QLineEdit* box = Box(QStringLiteral("EditImage"));
  if (!view_->Opened()) {
    box->clear();
    return;
  }
  const QSignalBlocker block(trackBar_);
  trackBar_->setMaximum(std::max(0, view_->VisibleCount() - 1));
  trackBar_->setValue(view_->VisibleIndex());
  box->setText(QStringLiteral(" %1/%2").arg(view_->VisibleIndex() + 1).arg(view_->VisibleCount()));
}

void TMainForm::RefreshMarkBox() {
  QLineEdit* box = Box(QStringLiteral("EditMarque"));
  if (!view_->Opened())
    box->clear();
  else if (data_->Tool() == otEchelle)
    box->setText(QStringLiteral(" "));
  else
    box->setText(QStringLiteral(" ") + QString::number(data_->MarkCount()));
}

void TMainForm::RefreshAngleBox() {
  QLineEdit* box = Box(QStringLiteral("EditAngle"));
  if (view_->Opened() && data_->OriginPlaced() == 1)
    box->setText(QStringLiteral(" ") +
                 FormatTable(data_->GetAxisAngle() * 57.295779513082320877, -1) +
                 QStringLiteral("°"));
  else
    box->clear();
}

void TMainForm::RefreshZoomBox() {
  QLineEdit* box = Box(QStringLiteral("EditZoom"));
  if (view_->Opened())
    box->setText(QStringLiteral(" %1 %").arg(view_->Zoom()));
  else
    box->clear();
}

void TMainForm::Repaint() {
  view_->update();
}

// ------------------------------------------------------------------- values

TValueContext TMainForm::Context() const {
  TValueContext c;
  c.videoOpened = view_->Opened();
  c.axisAngle = data_->GetAxisAngle();
  const TEchelle& e = data_->Echelle();
  c.scaleLength = {e.Length[skHoriz], e.Length[skSingle], e.Length[skVert]};
  c.marksToDraw = data_->MarksNumberToDraw();
  c.marksPerFrame = data_->MarksNumberPerFrame();
  c.visibleCount = view_->VisibleCount();
  c.visibleIndex = view_->VisibleIndex();
  c.framesBetweenMarks = data_->FramesNumberBetweenTwoMarks;
  return c;
}

bool TMainForm::Ask(TBoiteValeur& box) {
  if (AskValue) {
    box.Confirmed = false;
    return AskValue(box) && box.Confirmed;
  }
  box.Execute(this);
  return box.Confirmed;
}

bool TMainForm::AskLength(int which) {
  const auto kind = static_cast<TScaleKind>(which);
  if (!view_->Opened() || data_->Echelle().PointsNumber[kind] != 2) return false;
  valueBox_.SetTypeSaisie(tsLongueur, Context());
  valueBox_.SetTypeSaisieLongueur(kind == skSingle  ? slLongueurN
                                  : kind == skHoriz ? slLongueurH
                                                    : slLongueurV);
  if (!Ask(valueBox_)) return false;
  data_->Echelle().SetLength(kind, valueBox_.RealValue);
  Repaint();
  return true;
}

void TMainForm::ScaleDefined() {
  if (!view_->Opened()) return;
  NavigationRule();
  const TEchelle& e = data_->Echelle();
  if (e.PointsNumber[e.ActiveKind] == 2) AskLength(e.ActiveKind);
}

bool TMainForm::ResultsCommand(int /*view*/) {
  if (!view_->Opened()) return false;
  TResultsCheck check;
  check.changeDefaultNames =
      options_->Bool(QStringLiteral("CheckBox38ChangeDefaultObjectsName_Checked"));
  check.askObjectNames = &askObjectNames_;
  check.drawIcon = [this](int picture) {
    // The composed icon: a 28 x 27 picture on the button face with the
    // button picture of the check drawn at (3, 2).
    static const char* names[] = {"Echelle", "EchelleHoriz", "EchelleVert",   "Origine",
                                  "Marque",  "Tsp",          "ModeRepereFixe"};
    QImage icon = messageBox_->CustomIcon();
    if (icon.isNull()) {
      icon = QImage(28, 27, QImage::Format_ARGB32_Premultiplied);
      icon.fill(palette().color(QPalette::Button));
    }
    QPainter p(&icon);
    p.drawImage(3, 2, ButtonImage(QLatin1String(names[std::clamp(picture - 6, 0, 6)]), 22));
    messageBox_->SetCustomIcon(icon);
  };
  check.prepare = [this] {
    return results_->BuildPositions(rcCurrent) == 0 && results_->Compute(rcCurrent, 0);
  };
  return CheckResultsReady(*data_, view_->Mode(), check);
}

// ------------------------------------------------------------------- layout

void TMainForm::LayoutControls() {
  Impl& d = *d_;
  if (!d.client || !view_) return;
  const int cw = d.client->width(), ch = d.client->height();
  const int hm = kModeBarHeight, hp = kPanelHeight, hs = 0;
  const int wt = kBarWidth, wr = kBarWidth;
  d.modeBar->setGeometry(0, 0, cw, hm);
  d.toolBar->setGeometry(0, hm, wt, ch - hm - hp);
  d.resultsBar->setGeometry(cw - wr, hm, wr, ch - hm - hp);
  d.panel->setGeometry(0, ch - hp, cw, hp);
  int y = 4;
  for (QToolButton* b : d.toolBar->findChildren<QToolButton*>())
    if (!b->isHidden()) {
      b->setGeometry(3, y, 36, 36);
      y += 38;
    }
  y = 4;
  for (const char* name : {"ButtonMenuTableau", "ButtonMenuTemps", "ButtonMenuReferentiel",
                           "ButtonMenuVecteur", "ButtonMenuFormule"})
    if (QToolButton* b = Button(QLatin1String(name)); !b->isHidden()) {
      b->setGeometry(3, y, 36, 36);
      y += 38;
    }
  if (view_->Opened() && view_->FrameWidth() > 0 && view_->FrameHeight() > 0) {
    const double w = view_->FrameWidth(), h = view_->FrameHeight();
    const double x = std::min((cw - wt - wr) / w, (ch - hm - hs - hp - 1) / h);
    const int vw = static_cast<int>(w * x), vh = static_cast<int>(h * x);
    view_->setGeometry((cw - vw) / 2, (ch + hm - hs - hp - vh) / 2, std::max(1, vw),
                       std::max(1, vh));
  } else {
    view_->setGeometry(wt, hm, std::max(1, cw - wt - wr), std::max(1, ch - hs - hp - hm));
  }
  view_->SetTitleArea(cw - wt - wr, ch - hs - hp - hm);
  // The panel: the boxes from the right, the buttons and the track bar centred.
  const int p = d.panel->width(), hpanel = d.panel->height();
  QLineEdit* angle = Box(QStringLiteral("EditAngle"));
  angle->setGeometry(p - 50, 8, 50, hpanel - 14);
  Box(QStringLiteral("EditZoom"))->setGeometry(p - 100, 8, 50, hpanel - 14);
  Box(QStringLiteral("EditMarque"))->setGeometry(p - 135, 8, 35, hpanel - 14);
  QLineEdit* image = Box(QStringLiteral("EditImage"));
  image->setGeometry(p - 215, 8, 80, hpanel - 14);
  const int b = 45;
  const int track = std::max(20, std::min(200, image->x() - 6 * b - 12));
  const int m = image->x() - track - 6 * b;
  int x = std::max(0, (m - 12) / 2);
  for (const char* name :
       {"ButtonVideoLecture", "ButtonVideoPause", "ButtonVideoRetour", "ButtonVideoPred"}) {
    Button(QLatin1String(name))->setGeometry(x, 4, b, hpanel - 6);
    x += b;
  }
  trackBar_->setGeometry(x + 2, 4, track, hpanel - 6);
  x += 2 + track + 2;
  Button(QStringLiteral("ButtonVideoSucc"))->setGeometry(x, 4, b, hpanel - 6);
  Button(QStringLiteral("ButtonVideoAvance"))->setGeometry(x + b, 4, b, hpanel - 6);
}

void TMainForm::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  LayoutControls();
}

void TMainForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  LayoutControls();
}

// -------------------------------------------------------------------- menus

void TMainForm::UpdateMenu(QMenu* menu) {
  const bool open = view_->Opened();
  const TModeVideo mode = view_->Mode();
  const bool pointing = mode == mvRepereFixe || mode == mvTransparent;
  const bool separate = options_->Bool(QStringLiteral("CheckBox41HorizAndVertScale_Checked"));
  const bool scaleTool = data_->Tool() == otEchelle;
  const TEchelle& e = data_->Echelle();
  auto& a = d_->actions;
  const auto set = [&](const char* name, bool visible, bool enabled) {
    const auto it = a.find(QLatin1String(name));
    if (it == a.end()) return;
    it->second->setVisible(visible);
    it->second->setEnabled(enabled);
  };
  const auto check = [&](const char* name, bool on) {
    const auto it = a.find(QLatin1String(name));
    if (it != a.end()) it->second->setChecked(on);
  };
  const auto sub = [&](const char* name, bool visible, bool enabled) {
    QMenu* m = Menu(QLatin1String(name));
    m->menuAction()->setVisible(visible);
    m->setEnabled(enabled);
  };
  const QString name = menu->objectName();
  if (name == QLatin1String("MenuFichier")) {
    sub("MenuFichierOuvrir", mode != mvCapture, true);
    set("MenuFichierEnregistrer", mode != mvCapture, true);
    set("MenuFichierFermerVideo", mode != mvCapture, open);
    // The recent files, numbered, the full path as hint.
    QMenu* recent = Menu(QStringLiteral("MenuFichierRecent"));
    recent->clear();
    for (int i = 0; i < recent_.Files.size(); ++i) {
      const QString path = recent_.Files[i];
      QAction* act =
          recent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
      act->setStatusTip(path);
      act->setToolTip(path);
      connect(act, &QAction::triggered, this, [this, path] {
        const int kind = FileKind(path);
        if (kind == 0) OpenVideoFile(path);
        if (kind == 1) LoadProjectFile(path);
      });
    }
    recent->menuAction()->setVisible(mode != mvCapture);
    recent->setEnabled(!recent_.Files.isEmpty());
  } else if (name == QLatin1String("MenuAffichage")) {
    const QString undo = open ? data_->UndoCaption() : QString();
    a[QStringLiteral("MenuAffichageAnnuler")]->setText(
        (undo.isEmpty() ? QStringLiteral("Zrušit") : undo) + QStringLiteral("  (Ctrl A)"));
    set("MenuAffichageAnnuler", pointing, !undo.isEmpty());
    set("MenuAffichageLoupe", pointing, open);
    check("MenuAffichageLoupe", view_->Loupe()->isVisible());
    set("MenuAffichageCacherImage", pointing || mode == mvTracking, open);
    check("MenuAffichageCacherImage", view_->HideImage());
    sub("MenuAffichageAller", mode != mvCapture, open);
    sub("MenuAffichageTaille", pointing, open);
    sub("MenuAffichageNumeroter", pointing, open && !scaleTool);
    sub("MenuAffichageDessiner", pointing, open && !scaleTool);
    sub("MenuAffichageEffacer", pointing || mode == mvTracking, open);
  } else if (name == QLatin1String("MenuAffichageAller")) {
    set("MenuAffichageAllerDerniereImagePointee", pointing,
        open && !scaleTool && data_->MarkCount() > 0);
  } else if (name == QLatin1String("MenuAffichageTaille")) {
    for (int i = 0; i < 3; ++i)
      check(QStringLiteral("MenuAffichageTaille%1").arg(i).toLatin1().constData(),
            data_->ElementSize() == i);
  } else if (name == QLatin1String("MenuAffichageNumeroter")) {
    const int pos = open ? data_->MarksNumberPosition() : 1;
    check("MenuAffichageNumeroter0", pos != 0 && pos != 2);
    check("MenuAffichageNumeroter1", pos == 2);
    check("MenuAffichageNumeroter2", pos == 0);
  } else if (name == QLatin1String("MenuAffichageDessiner")) {
    const bool all = data_->MarksIsAllDrawn();
    check("MenuAffichageDessiner1", open && all);
    check("MenuAffichageDessiner0", open && !all && data_->MarksNumberToDraw() == 1);
    check("MenuAffichageDessiner2", open && !all && data_->MarksNumberToDraw() != 1);
  } else if (name == QLatin1String("MenuAffichageEffacer")) {
    const bool anyScale = e.PointsNumber[0] + e.PointsNumber[1] + e.PointsNumber[2] > 0;
    set("MenuAffichageEffacerMarques", mode == mvRepereFixe,
        open && pointing && data_->MarkCount() > 0);
    set("MenuAffichageEffacerTransparent", mode == mvTransparent, open && data_->MarkCount() > 0);
    set("MenuAffichageEffacerRepere", mode == mvRepereFixe, open && data_->OriginPlaced() > 0);
    set("MenuAffichageEffacerEchelle", pointing, open && e.PointsNumber[e.ActiveKind] > 0);
    set("MenuAffichageEffacerTout", pointing,
        open && ((mode == mvRepereFixe &&
                  (anyScale || data_->MarkCount() > 0 || data_->OriginPlaced() > 0)) ||
                 (mode == mvTransparent && (anyScale || data_->MarkCount() > 0))));
  } else if (name == QLatin1String("MenuMesures")) {
    set("MenuMesuresTemps", pointing, open);
    sub("MenuMesuresNbMarqueParImage", pointing, open);
    sub("MenuMesuresNbImagesEntreMarques", pointing, open);
    set("MenuMesuresValeurEchelle", pointing && !separate, open && e.PointsNumber[skSingle] == 2);
    set("MenuMesuresValeurEchelleHoriz", pointing && separate,
        open && e.PointsNumber[skHoriz] == 2);
    set("MenuMesuresValeurEchelleVert", pointing && separate, open && e.PointsNumber[skVert] == 2);
    set("MenuMesuresAngleRotation", mode == mvRepereFixe, open && data_->OriginPlaced() == 1);
    set("MenuMesuresInverserAxeX", pointing, open && data_->OriginPlaced() == 1);
    set("MenuMesuresInverserAxeY", pointing, open && data_->OriginPlaced() == 1);
    check("MenuMesuresInverserAxeX", open && !data_->DirectX());
    check("MenuMesuresInverserAxeY", open && !data_->DirectY());
  } else if (name == QLatin1String("MenuMesuresNbMarqueParImage")) {
    const int n = data_->MarksNumberPerFrame();
    for (int i = 0; i < 4; ++i)
      check(QStringLiteral("MenuMesuresNbMarqueParImage%1").arg(i).toLatin1().constData(),
            i < 3 ? n == i + 1 : n > 3);
  } else if (name == QLatin1String("MenuMesuresNbImagesEntreMarques")) {
    check("MenuMesuresNbImagesEntreMarques0", data_->FramesNumberBetweenTwoMarks == 1);
    check("MenuMesuresNbImagesEntreMarques1", data_->FramesNumberBetweenTwoMarks != 1);
  } else if (name == QLatin1String("PopupMenu")) {
    set("PopupMenuZoom", mode != mvCapture, true);
    set("PopupMenuPan", mode != mvCapture, true);
    set("PopupMenuMarque", mode == mvRepereFixe, true);
    set("PopupMenuEchelle", pointing && !separate, true);
    set("PopupMenuEchelleVert", pointing && separate, true);
    set("PopupMenuEchelleHoriz", pointing && separate, true);
    set("PopupMenuOrigine", mode == mvRepereFixe, true);
    set("PopupMenuTsp", mode == mvTransparent, true);
    set("PopupMenuDeplacer", pointing, true);
    set("PopupMenuEffacer", pointing, true);
  }
}

void TMainForm::ShowContextMenu() {
  UpdateMenu(d_->popup);
  d_->popup->popup(QCursor::pos());
}

// ----------------------------------------------------------------- commands

int TMainForm::FileKind(const QString& path) {
  const QString ext = QFileInfo(path).suffix().toLower();
  if (ext == QLatin1String("mlb")) return 1;
  for (const char* v : {"avi", "mpg", "mpeg", "wmv", "mov"})
    if (ext == QLatin1String(v)) return 0;
  return 2;
}

bool TMainForm::OpenVideoFile(const QString& path) {
  if (!ConfirmDiscardFor(true)) return false;
  if (!QFileInfo::exists(path)) {
    TMessage(icWarning)
        .AddButton(kOk, btOk)
        .AddPath(path)
        .AddParagraph(QString())
        .AddParagraph(QStringLiteral("Není možné otevřít tento videosoubor."))
        .AddParagraph(QString())
        .AddParagraph(QStringLiteral("Ověřte, že nebyl přemístěn."))
        .Execute();
    return false;
  }
  recent_.Directory = QFileInfo(path).absolutePath();
  if (!OpenVideo(path)) {
    ShowVideoOpenFailure(path, true);
    return false;
  }
  return true;
}

bool TMainForm::OpenVideo(const QString& path) {
  StopActivities();
  const bool ok = view_->OpenVideo(path);
  if (ok) {
    ToolChanged();
    SetEnabledState(true);
    RefreshMarkBox();
    RefreshAngleBox();
    view_->setFocus();
  } else {
    LayoutControls();
    SetEnabledState(false);
  }
  return ok;
}

void TMainForm::SetFileDialogs(TFileDialogs* dialogs) {
  dialogs_ = dialogs ? dialogs : this;
  project_ = std::make_unique<TProjectFiles>(*data_, *this, *dialogs_);
}

bool TMainForm::LoadProjectFile(const QString& path) {
  return project_->LoadProject(path);
}

bool TMainForm::SaveProjectFile() {
  const bool ok = project_->SaveProject();
  return ok;
}

void TMainForm::ApplyView(int imageNumber, bool transparentMode) {
  view_->SetRawPosition(imageNumber);
  view_->SetMode(transparentMode ? mvTransparent : mvRepereFixe);
  view_->RefreshMapping();
}

void TMainForm::AddRecentFile(const QString& file) {
  recent_.Add(file, options_->Bool(QStringLiteral("CheckBox6FreezeMRU_Checked")));
}

void TMainForm::ProjectLoaded() {
  ToolChanged();
  SetEnabledState(true);
  RefreshMarkBox();
  RefreshAngleBox();
  results_->Invalidate(rcBoth);
  Repaint();
}

bool TMainForm::VideoOpened() const {
  return view_->Opened();
}

QString TMainForm::VideoFileName() const {
  return view_->FileName();
}

bool TMainForm::ConfirmDiscardFor(bool opening) {
  if (!view_->Opened() ||
      !options_->Bool(QStringLiteral("CheckBox4ConfirmationFileChange_Checked")))
    return true;
  TMessage m(icConfirmation);
  m.AddButton(QStringLiteral("Uložit"), btEnregistrer)
      .AddButton(QStringLiteral("Zrušit"), btAnnuler)
      .AddButton(QStringLiteral("Pokračovat"), btIgnorer)
      .AddParagraph(QStringLiteral("Uložit práci do souboru"))
      .AddParagraph(QString())
      .AddParagraph(opening ? QStringLiteral("Zrušit otevření") : QStringLiteral("Zrušit ukončení"))
      .AddParagraph(QString())
      .AddParagraph(QStringLiteral("Ignorovat záchranu a pokračovat"));
  switch (m.Execute()) {
    case 0:
      // A save that fails or is cancelled stops the command: the work would
      // otherwise be lost although the user asked to keep it.
      return SaveProjectFile();
    case 1:
      return false;
    default:
      return true;
  }
}

void TMainForm::StopActivities() {
  if (view_) view_->Stop();
}

void TMainForm::CloseVideoFile() {
  if (!ConfirmDiscardFor(false)) return;
  TMessageBox& box = MessageBoxService();
  box.SwitchOff();
  StopActivities();
  view_->OpenVideo(QString());
  view_->SetMode(mvRepereFixe);
  box.SwitchOn();
  LayoutControls();
  SetEnabledState(false);
  view_->update();
}

void TMainForm::OpenFromCommandLine(const QStringList& arguments) {
  if (arguments.size() != 1) return;
  const QString ext = QFileInfo(arguments[0]).suffix().toLower();
  if (ext == QLatin1String("avi")) {
    if (OpenVideoFile(arguments[0])) AddRecentFile(arguments[0]);
  } else if (ext == QLatin1String("mlb")) {
    if (LoadProjectFile(arguments[0])) AddRecentFile(arguments[0]);
  } else if (FileKind(arguments[0]) == 0 || QFileInfo(arguments[0]).isFile()) {
    // Any other video the frame sources can open.
    if (OpenVideoFile(arguments[0])) AddRecentFile(arguments[0]);
  }
}

void TMainForm::ShowOpenDialog(bool project) {
  QStringList filters;
  const QString qtFilter = QtFilter(kOpenFilter, &filters);
  QFileDialog dialog(
      this, project ? QStringLiteral("Nahrát soubor MLB") : QStringLiteral("Otevřít videosoubor"));
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.value(project ? 1 : 0));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDirectory(InitialOpenFolder(recent_.Directory));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString file = dialog.selectedFiles().front();
  if (!QFileInfo::exists(file)) return;
  const bool asProject = dialog.selectedNameFilter() == filters.value(1);
  const bool ok = asProject ? LoadProjectFile(file) : OpenVideoFile(file);
  if (ok) AddRecentFile(file);
}

QString TMainForm::OpenFileName(const QString& title, const QString& proposedName,
                                const QString& filter) {
  return QFileDialog::getOpenFileName(this, title, proposedName, QtFilter(filter));
}

QString TMainForm::SaveFileName(const QString& title, const QString& proposedPath,
                                const QString& filter, const QString& defaultExtension) {
  QFileDialog dialog(this, title, proposedPath, QtFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(defaultExtension);
  dialog.selectFile(proposedPath);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the program asks itself
  return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
             ? dialog.selectedFiles().front()
             : QString();
}

// ------------------------------------------------------------ quit, events

bool TMainForm::Quit() {
  if (!options_->Bool(QStringLiteral("CheckBox3ConfirmationQuit_Checked"))) {
    StopActivities();
    return true;
  }
  TMessage m(icConfirmation);
  if (view_->Opened()) {
    m.AddButton(QStringLiteral("Uložit"), btEnregistrer)
        .AddButton(QStringLiteral("Zrušit"), btAnnuler)
        .AddButton(QStringLiteral("Konec"), btQuitter)
        .AddParagraph(QStringLiteral("Uložit práci do souboru"))
        .AddParagraph(QString())
        .AddParagraph(QStringLiteral("Zrušit ukončení"))
        .AddParagraph(QString())
        .AddParagraph(QStringLiteral("Ukončit práci s programem"));
    const int r = m.Execute();
    if (r == 1) return false;
    // "Uložit" whose save fails or is cancelled keeps the window open.
    if (r == 0 && !SaveProjectFile()) return false;
  } else {
    m.AddButton(QStringLiteral("Zrušit"), btAnnuler)
        .AddButton(QStringLiteral("Konec"), btQuitter)
        .AddParagraph(QStringLiteral("Zrušit ukončení"))
        .AddParagraph(QString())
        .AddParagraph(QStringLiteral("Ukončit práci s programem"));
    if (m.Execute() != 1) return false;
  }
  StopActivities();
  return true;
}

void TMainForm::closeEvent(QCloseEvent* e) {
  if (quitting_ || Quit()) {
    quitting_ = true;
    e->accept();
  } else {
    e->ignore();
  }
}

void TMainForm::keyPressEvent(QKeyEvent* e) {
  if (!view_->Opened()) return QMainWindow::keyPressEvent(e);
  if (e->key() == Qt::Key_Space) {
    const QRect r(view_->mapToGlobal(QPoint(0, 0)), view_->size());
    if (r.adjusted(0, 0, 1, 1).contains(QCursor::pos())) ShowContextMenu();
  }
  const int key = e->key() == Qt::Key_Space ? 32 : MeasureKeyCode(e->key(), e->modifiers());
  if (key) {
    TShiftState s = 0;
    if (e->modifiers() & Qt::ShiftModifier) s |= ssShift;
    if (e->modifiers() & Qt::AltModifier) s |= ssAlt;
    if (e->modifiers() & Qt::ControlModifier) s |= ssCtrl;
    view_->HandleKey(key, s);
    RefreshMarkBox();
  }
  e->accept();
}

void TMainForm::wheelEvent(QWheelEvent* e) {
  if (view_->Opened() && e->angleDelta().y() != 0) view_->ScrollStep(e->angleDelta().y() > 0);
  e->accept();
}

bool TMainForm::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress && view_->Opened()) {
    if (o == Box(QStringLiteral("EditImage"))) {
      valueBox_.SetTypeSaisie(tsNumImg, Context());
      if (Ask(valueBox_)) view_->GoTo(valueBox_.IntValue);
      return true;
    }
    if (o == Box(QStringLiteral("EditZoom"))) {
      view_->ResetZoom();
      Repaint();
      return true;
    }
    if (o == Box(QStringLiteral("EditAngle"))) {
      if (view_->Mode() != mvTransparent && data_->OriginPlaced() == 1) {
        valueBox_.SetTypeSaisie(tsAngle, Context());
        if (Ask(valueBox_)) {
          data_->SetAxisAngle(valueBox_.RealValue);
          Repaint();
        }
      }
      return true;
    }
  }
  return QMainWindow::eventFilter(o, e);
}

}  // namespace mlb
