#include "ui/history_window.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/game.h"
#include "ui/self_voicing.h"

namespace velmora {

HistoryWindow::HistoryWindow(Game& game, QWidget* parent) : QDialog(parent), game_(game) {
  setObjectName(QStringLiteral("HistoryWindow"));
  setWindowTitle(tr("The story so far"));
  pages = new QListWidget(this);
  pages->setObjectName(QStringLiteral("HistoryList"));
  pages->setAccessibleName(tr("Pages read"));
  pages->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setAccessibleName(tr("Close"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages, 1);
  layout->addWidget(buttons);
  resize(640, 480);
  connect(pages, &QListWidget::currentRowChanged, this, [this] {
    if (const QListWidgetItem* item = pages->currentItem()) SelfVoicing::SayInWindow(item->data(Qt::AccessibleTextRole).toString());
  });
  Refill();
}

QAction* HistoryWindow::AddCommand(Game& game, QWidget* mainWindow) {
  auto* action = new QAction(tr("The story so far..."), mainWindow);
  action->setShortcut(QKeySequence(Qt::Key_H));
  action->setShortcutContext(Qt::WindowShortcut);
  mainWindow->addAction(action);
  connect(action, &QAction::triggered, mainWindow, [&game, mainWindow] {
    HistoryWindow window(game, mainWindow);
    window.exec();
  });
  return action;
}

void HistoryWindow::Refill() {
  pages->clear();
  const auto screen = [this](const std::string& bytes) { return QString::fromStdString(game_.codec.ToUtf8(bytes)); };
  const int count = static_cast<int>(game_.history.size());
  for (int k = 0; k < count; ++k) {
    const PageRead& read = game_.history[static_cast<size_t>(k)];
    QStringList lines;
    for (const std::string& line : read.lines)
      if (!line.empty()) lines << screen(line);
    QString text = lines.join(QLatin1Char('\n'));
    if (!read.choice.empty()) text += QLatin1Char('\n') + tr("Chosen: %1").arg(screen(read.choice));
    auto* item = new QListWidgetItem(text, pages);
    item->setData(Qt::AccessibleTextRole, tr("Page %1 of %2: %3").arg(k + 1).arg(count).arg(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
  }
  if (count > 0) pages->setCurrentRow(count - 1);
}

}  // namespace velmora
