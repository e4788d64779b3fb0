// The commands of mlbtool.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace mlb::cli {

// Points a simulated throw through the measurement data and prints its kinematics.
int RunDemo(const QStringList& args, QTextStream& out, QTextStream& err);

// Prints what a project file holds; non-zero when it cannot be read.
int RunProjectInfo(const QStringList& args, QTextStream& out, QTextStream& err);

// Fits a model to two columns of a text file or to a quantity of a project.
int RunFit(const QStringList& args, QTextStream& out, QTextStream& err);

// Evaluates an expression with the calculator's rules.
int RunEval(const QStringList& args, QTextStream& out, QTextStream& err);

// Prints a project's result table (or formula table) as the export lines.
int RunTable(const QStringList& args, QTextStream& out, QTextStream& err);

// The frame sources: what a video holds, one frame to a picture, every frame in order.
int RunProbe(QStringList args, QTextStream& out, QTextStream& err);
int RunFrame(QStringList args, QTextStream& out, QTextStream& err);
int RunFrames(QStringList args, QTextStream& out, QTextStream& err);

// A project's video at frame N with the measurement drawn over it, to a picture.
int RunRender(QStringList args, QTextStream& out, QTextStream& err);

// The bundled sample experiment: its frames as pictures and its project.
int RunMakeSample(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace mlb::cli
