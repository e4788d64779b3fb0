#include "common/UnitIniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include "common/UnitNumberFormat.h"

namespace mlb {

namespace {

// Names are looked up trimmed; most are already.
QString Trimmed(const QString& s) {
  if (s.isEmpty() || (!s.front().isSpace() && !s.back().isSpace())) return s;
  return s.trimmed();
}

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

std::size_t qHash(const TNameKey& key, std::size_t seed) noexcept {
  std::size_t h = 1469598103934665603ull ^ seed;
  const QString& s = key.name;
  const char16_t* p = reinterpret_cast<const char16_t*>(s.constData());
  const char16_t* end = p + s.size();
  for (; p != end; ++p) {
    char16_t u = *p;
    if (u < 128)
      u |= static_cast<char16_t>((static_cast<unsigned>(u) - 0x41u < 26u)
                                 << 5);  // ASCII upper to lower
    else
      u = QChar(u).toCaseFolded().unicode();
    h = (h ^ u) * 1099511628211ull;
  }
  return h;
}

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
  // Walked as views: one string is made for each key and each value only.
  const QStringView all(text);
  qsizetype start = 0;
  while (start < all.size()) {
    qsizetype end = all.indexOf(QLatin1Char('\n'), start);
    if (end < 0) end = all.size();
    QStringView raw = all.sliced(start, end - start);
    start = end + 1;
    if (raw.endsWith(QLatin1Char('\r'))) raw.chop(1);
    const QStringView t = raw.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
      current = &SectionFor(t.sliced(1, t.size() - 2).trimmed().toString());
      continue;
    }
    if (!current) {
      preamble_ << raw.toString();
      continue;
    }
    const qsizetype eq = raw.indexOf(QLatin1Char('='));
    const QStringView key = eq > 0 ? raw.first(eq).trimmed() : QStringView();
    if (key.isEmpty() || t.startsWith(QLatin1Char(';'))) {
      current->lines.push_back({QString(), raw.toString()});
      continue;
    }
    TNameKey k{key.toString()};
    // The first occurrence wins, as on Windows.
    if (current->index.contains(k)) continue;
    current->index.insert(k, current->lines.size());
    current->lines.push_back({k.name, CleanValue(raw.sliced(eq + 1).toString())});
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
  qsizetype size = 0;
  for (const QString& l : preamble_) size += l.size() + 1;
  for (const Section& s : sections_)
    for (const Line& l : s.lines) size += l.key.size() + l.value.size() + 2;
  QString out;
  out.reserve(size + 64 * static_cast<qsizetype>(sections_.size()));
  for (const QString& l : preamble_) out.append(l).append(QLatin1Char('\n'));
  for (const Section& s : sections_) {
    if (s.erased) continue;
    out.append(QLatin1Char('[')).append(s.name).append(QLatin1String("]\n"));
    for (const Line& l : s.lines) {
      if (!l.key.isEmpty()) out.append(l.key).append(QLatin1Char('='));
      out.append(l.value).append(QLatin1Char('\n'));
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
  const QString name = Trimmed(section);
  const auto it = sectionIndex_.constFind(TNameKey{name});
  if (it != sectionIndex_.cend()) {
    Section& s = sections_[it.value()];
    s.erased = false;
    return s;
  }
  sectionIndex_.insert(TNameKey{name}, sections_.size());
  sections_.push_back({section.trimmed(), {}, {}, false});
  return sections_.back();
}

const TIniFile::Line* TIniFile::Find(const QString& section, const QString& key) const {
  const auto s = sectionIndex_.constFind(TNameKey{Trimmed(section)});
  if (s == sectionIndex_.cend() || sections_[s.value()].erased) return nullptr;
  const Section& sec = sections_[s.value()];
  const auto k = sec.index.constFind(TNameKey{Trimmed(key)});
  return k == sec.index.cend() ? nullptr : &sec.lines[k.value()];
}

bool TIniFile::SectionExists(const QString& section) const {
  const auto s = sectionIndex_.constFind(TNameKey{Trimmed(section)});
  return s != sectionIndex_.cend() && !sections_[s.value()].erased;
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
  const auto s = sectionIndex_.constFind(TNameKey{Trimmed(section)});
  if (s == sectionIndex_.cend() || sections_[s.value()].erased) return r;
  for (const Line& l : sections_[s.value()].lines)
    if (!l.key.isEmpty()) r << l.key;
  return r;
}

int TIniFile::KeyCount(const QString& section) const {
  const auto s = sectionIndex_.constFind(TNameKey{Trimmed(section)});
  if (s == sectionIndex_.cend() || sections_[s.value()].erased) return 0;
  return static_cast<int>(sections_[s.value()].index.size());
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
  const Line* l = Find(section, key);
  return l ? l->value : def;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
  const Line* l = Find(section, key);
  if (!l) return def;
  bool ok = false;
  const int v =
      l->value.toInt(&ok, l->value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? 16 : 10);
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
  const QString name = Trimmed(key);
  const TNameKey k{name};
  const auto it = s.index.constFind(k);
  if (it != s.index.cend()) {
    s.lines[it.value()].value = value;
    return;
  }
  s.index.insert(k, s.lines.size());
  s.lines.push_back({name, value});
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

void TIniFile::Reserve(const QString& section, int n) {
  Section& s = SectionFor(section);
  s.index.reserve(s.index.size() + n);
  s.lines.reserve(s.lines.size() + static_cast<std::size_t>(n));
}

void TIniFile::EraseSection(const QString& section) {
  const auto s = sectionIndex_.constFind(TNameKey{Trimmed(section)});
  if (s == sectionIndex_.cend()) return;
  Section& sec = sections_[s.value()];
  sec.erased = true;
  sec.lines.clear();
  sec.index.clear();
}

void TIniFile::DeleteKey(const QString& section, const QString& key) {
  const auto s = sectionIndex_.constFind(TNameKey{Trimmed(section)});
  if (s == sectionIndex_.cend()) return;
  Section& sec = sections_[s.value()];
  const auto k = sec.index.constFind(TNameKey{Trimmed(key)});
  if (k == sec.index.cend()) return;
  // Drop the line and reindex the rest.
  sec.lines.erase(sec.lines.begin() + static_cast<long>(k.value()));
  sec.index.clear();
  for (std::size_t i = 0; i < sec.lines.size(); ++i)
    if (!sec.lines[i].key.isEmpty()) sec.index.insert(TNameKey{sec.lines[i].key}, i);
}

}  // namespace mlb
