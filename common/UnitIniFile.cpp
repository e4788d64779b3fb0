#include "common/UnitIniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include "common/UnitNumberFormat.h"

namespace mlb {

namespace {

QString Fold(const QString& s) { return s.trimmed().toCaseFolded(); }

// Values are trimmed, and one pair of enclosing quotes is dropped, as the
// Windows profile functions do.
QString CleanValue(QString v) {
  v = v.trimmed();
  if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
      v.back() == v.front())
    v = v.mid(1, v.size() - 2);
  return v;
}

}  // namespace

QString DecodeIniBytes(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) {
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
  }
  QStringDecoder cp1250("windows-1250");
  if (cp1250.isValid()) return cp1250.decode(bytes);
  return QString::fromLatin1(bytes);
}

void TIniFile::Clear() {
  preamble_.clear();
  sections_.clear();
  sectionIndex_.clear();
}

void TIniFile::LoadFromText(const QString& text) {
  Clear();
  Section* current = nullptr;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    QString raw = lines[i];
    if (raw.endsWith(QLatin1Char('\r'))) raw.chop(1);
    if (i == lines.size() - 1 && raw.isEmpty()) break;  // text ending with a newline
    const QString t = raw.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
      current = &SectionFor(t.mid(1, t.size() - 2).trimmed());
      continue;
    }
    if (!current) {
      preamble_ << raw;
      continue;
    }
    const int eq = raw.indexOf(QLatin1Char('='));
    if (eq <= 0 || t.startsWith(QLatin1Char(';')) || raw.left(eq).trimmed().isEmpty()) {
      current->lines.push_back({QString(), raw});
      continue;
    }
    const QString key = raw.left(eq).trimmed();
    const QString folded = key.toCaseFolded();
    const QString value = CleanValue(raw.mid(eq + 1));
    const auto it = current->index.find(folded);
    if (it != current->index.end()) continue;  // the first occurrence wins, as on Windows
    current->index.emplace(folded, current->lines.size());
    current->lines.push_back({key, value});
  }
}

bool TIniFile::LoadFromFile(const QString& path, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = f.errorString();
    return false;
  }
  const QByteArray bytes = f.readAll();
  if (f.error() != QFileDevice::NoError) {
    if (error) *error = f.errorString();
    return false;
  }
  LoadFromText(DecodeIniBytes(bytes));
  return true;
}

QString TIniFile::ToText() const {
  QString out;
  for (const QString& l : preamble_) out += l + QLatin1Char('\n');
  for (const Section& s : sections_) {
    if (s.erased) continue;
    out += QLatin1Char('[') + s.name + QStringLiteral("]\n");
    for (const Line& l : s.lines) {
      if (l.key.isEmpty())
        out += l.value + QLatin1Char('\n');
      else
        out += l.key + QLatin1Char('=') + l.value + QLatin1Char('\n');
    }
  }
  return out;
}

bool TIniFile::SaveToFile(const QString& path, QString* error) const {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) {
    if (error) *error = f.errorString();
    return false;
  }
  const QByteArray bytes = ToText().toUtf8();
  if (f.write(bytes) != bytes.size() || !f.commit()) {
    if (error) *error = f.errorString();
    f.cancelWriting();
    return false;
  }
  return true;
}

TIniFile::Section& TIniFile::SectionFor(const QString& section) {
  const QString folded = Fold(section);
  const auto it = sectionIndex_.find(folded);
  if (it != sectionIndex_.end()) {
    Section& s = sections_[it->second];
    s.erased = false;
    return s;
  }
  sectionIndex_.emplace(folded, sections_.size());
  sections_.push_back({section.trimmed(), {}, {}, false});
  return sections_.back();
}

const TIniFile::Line* TIniFile::Find(const QString& section, const QString& key) const {
  const auto s = sectionIndex_.find(Fold(section));
  if (s == sectionIndex_.end() || sections_[s->second].erased) return nullptr;
  const Section& sec = sections_[s->second];
  const auto k = sec.index.find(Fold(key));
  return k == sec.index.end() ? nullptr : &sec.lines[k->second];
}

bool TIniFile::SectionExists(const QString& section) const {
  const auto s = sectionIndex_.find(Fold(section));
  return s != sectionIndex_.end() && !sections_[s->second].erased;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
  return Find(section, key) != nullptr;
}

QStringList TIniFile::Sections() const {
  QStringList r;
  for (const Section& s : sections_)
    if (!s.erased) r << s.name;
  return r;
}

QStringList TIniFile::Keys(const QString& section) const {
  QStringList r;
  const auto s = sectionIndex_.find(Fold(section));
  if (s == sectionIndex_.end() || sections_[s->second].erased) return r;
  for (const Line& l : sections_[s->second].lines)
    if (!l.key.isEmpty()) r << l.key;
  return r;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
  const Line* l = Find(section, key);
  return l ? l->value : def;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
  const Line* l = Find(section, key);
  if (!l) return def;
  bool ok = false;
  const int v = l->value.toInt(&ok, l->value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? 16 : 10);
  return ok ? v : def;
}

double TIniFile::ReadFloat(const QString& section, const QString& key, double def) const {
  const Line* l = Find(section, key);
  double v = def;
  if (l && TryParseFloat(l->value, v)) return v;
  return def;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  Section& s = SectionFor(section);
  const QString folded = Fold(key);
  const auto it = s.index.find(folded);
  if (it != s.index.end()) {
    s.lines[it->second].value = value;
    return;
  }
  s.index.emplace(folded, s.lines.size());
  s.lines.push_back({key.trimmed(), value});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
  WriteString(section, key, QString::number(value));
}

void TIniFile::WriteFloat(const QString& section, const QString& key, double value) {
  WriteString(section, key, FormatGeneral(value, 15, 0));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
  WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::EraseSection(const QString& section) {
  const auto s = sectionIndex_.find(Fold(section));
  if (s == sectionIndex_.end()) return;
  Section& sec = sections_[s->second];
  sec.erased = true;
  sec.lines.clear();
  sec.index.clear();
}

void TIniFile::DeleteKey(const QString& section, const QString& key) {
  const auto s = sectionIndex_.find(Fold(section));
  if (s == sectionIndex_.end()) return;
  Section& sec = sections_[s->second];
  const auto k = sec.index.find(Fold(key));
  if (k == sec.index.end()) return;
  // The line becomes an empty comment-free gap: drop it and reindex the rest.
  sec.lines.erase(sec.lines.begin() + static_cast<long>(k->second));
  sec.index.clear();
  for (std::size_t i = 0; i < sec.lines.size(); ++i)
    if (!sec.lines[i].key.isEmpty()) sec.index.emplace(sec.lines[i].key.toCaseFolded(), i);
}

}  // namespace mlb
