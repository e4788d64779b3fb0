// Test main for code that paints text or uses widgets: a Qt application on
// the offscreen platform unless another one is asked for.
#include <gtest/gtest.h>

#include <QApplication>

// GLib, GStreamer and fontconfig keep a few allocations until the process
// ends; the leak checker of sanitizer builds is told so (unused otherwise).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgstreamer-1.0.so\n"
         "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
