#pragma once
// Widget tests need one QApplication for the whole test program, and GoogleTest's main makes
// none. Including this header registers an environment that creates it before the first test
// and destroys it after the last.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

namespace quillary_test {

class QApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    // ctest sets the offscreen platform; a test program started by hand gets it too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillary_widget_test";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { application_.reset(); }

 private:
  std::unique_ptr<QApplication> application_;
};

inline ::testing::Environment* const kQApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QApplicationEnvironment);

// Answers the next modal dialog once it is shown (its exec() holds the test until then).
inline void answerNextDialog(std::function<void(QDialog&)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    answer(*dialog);
  });
  timer->start();
}

}  // namespace quillary_test
