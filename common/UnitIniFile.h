// The program's INI files (projects "*.mlb" and the settings "Motilab.ini"):
// sections of key=value lines. Sections and keys compare without regard to
// case; keys are found through hash tables, so large projects load and save in
// linear time. Writing a key updates it in place and keeps every other line
// and its order. Files are read as UTF-8, or as Windows-1250 when they are not
// valid UTF-8 (files written on Windows), and written as UTF-8, through a
// temporary file renamed over the old one.
#pragma once

#include <vector>

#include <QHash>
#include <QString>
#include <QStringList>

namespace mlb {

// A name compared and hashed without regard to case, without building a
// folded copy of the string.
struct TNameKey {
  QString name;
  friend bool operator==(const TNameKey& a, const TNameKey& b) noexcept {
    return a.name.size() == b.name.size() &&
           (a.name == b.name || QString::compare(a.name, b.name, Qt::CaseInsensitive) == 0);
  }
};
std::size_t qHash(const TNameKey& key, std::size_t seed = 0) noexcept;

class TIniFile {
 public:
  // Replaces the content with the file's; false (content unchanged) when it
  // cannot be read.
  bool LoadFromFile(const QString& path, QString* error = nullptr);
  void LoadFromText(const QString& text);
  // Writes the whole content to a temporary file beside `path` and renames it
  // over the old file; on failure the old file is left whole.
  bool SaveToFile(const QString& path, QString* error = nullptr) const;
  QString ToText() const;

  bool SectionExists(const QString& section) const;
  bool ValueExists(const QString& section, const QString& key) const;
  QStringList Sections() const;
  QStringList Keys(const QString& section) const;
  // Number of keys of the section, without listing them.
  int KeyCount(const QString& section) const;

  QString ReadString(const QString& section, const QString& key, const QString& def) const;
  int ReadInteger(const QString& section, const QString& key, int def) const;
  double ReadFloat(const QString& section, const QString& key, double def) const;
  bool ReadBool(const QString& section, const QString& key, bool def) const;

  void WriteString(const QString& section, const QString& key, const QString& value);
  void WriteInteger(const QString& section, const QString& key, int value);
  // Full precision with the locale's decimal separator.
  void WriteFloat(const QString& section, const QString& key, double value);
  void WriteBool(const QString& section, const QString& key, bool value);

  // Room for n more keys in the section (a large save avoids rehashing).
  void Reserve(const QString& section, int n);
  void EraseSection(const QString& section);
  void DeleteKey(const QString& section, const QString& key);
  void Clear();

 private:
  struct Line {
    QString key;  // empty for a comment or blank line kept as it was
    QString value;
  };
  struct Section {
    QString name;
    std::vector<Line> lines;
    QHash<TNameKey, std::size_t> index;
    bool erased = false;
  };

  const Line* Find(const QString& section, const QString& key) const;
  Section& SectionFor(const QString& section);

  QStringList preamble_;  // lines before the first section
  std::vector<Section> sections_;
  QHash<TNameKey, std::size_t> sectionIndex_;
};

// Decodes file bytes: UTF-8 (a byte-order mark is dropped) when valid,
// otherwise Windows-1250.
QString DecodeIniBytes(const QByteArray& bytes);

}  // namespace mlb
