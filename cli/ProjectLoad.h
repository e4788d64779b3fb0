// A project loaded without its video, for the headless commands.
#pragma once

#include <memory>

#include <QString>

#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "measurement/UnitMlb.h"
#include "measurement/UnitStaticView.h"

namespace mlb::cli {

struct THeadlessProject {
  TProjectData project;
  std::unique_ptr<TStaticView> view;
  std::unique_ptr<TData> data;
  std::unique_ptr<TResCalc> results;
};

// Reads and applies the project. `size` ("WIDTHxHEIGHT") is the video's frame
// size, needed when the project has a single scale (its factors depend on
// the frame's aspect, which the project does not store). Empty and `why`
// set on failure.
std::unique_ptr<THeadlessProject> LoadHeadless(const QString& path, const QString& size,
                                               QString& why);

}  // namespace mlb::cli
