// libFuzzer target: any bytes as a project file, read through the INI codec
// and the validating project reader, then applied to a measurement.
#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "common/UnitIniFile.h"
#include "measurement/UnitData.h"
#include "measurement/UnitMlb.h"
#include "measurement/UnitStaticView.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  mlb::TIniFile ini;
  ini.LoadFromText(mlb::DecodeIniBytes(bytes));
  mlb::TProjectData project;
  if (!mlb::ReadProject(ini, project)) {
    // Perhaps the layout of before the profile format.
    mlb::TIniFile converted;
    if (!mlb::ConvertOldFormatLines(mlb::DecodeIniBytes(bytes).split(QLatin1Char('\n')), converted))
      return 0;
    if (!mlb::ReadProject(converted, project)) return 0;
  }
  mlb::TStaticView view(1000, 640, 480);
  mlb::TData measurement(&view);
  mlb::ApplyProject(measurement, project);
  mlb::TIniFile out;
  mlb::WriteProject(out, mlb::CaptureProject(measurement));
  (void)out.ToText();
  return 0;
}
