// The yardstick for the player's start-up: a plain Qt window of the main window's size
// with a text box and a list, and nothing else.
#include <QApplication>
#include <QListWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(980, 720);
  auto* layout = new QVBoxLayout(&window);
  auto* text = new QTextEdit;
  text->setPlainText(QStringLiteral("A story's first page.\nIts second line."));
  auto* list = new QListWidget;
  list->addItems({QStringLiteral("First choice"), QStringLiteral("Second choice"), QStringLiteral("Third choice")});
  layout->addWidget(text);
  layout->addWidget(list);
  window.show();
  return app.exec();
}
