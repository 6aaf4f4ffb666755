#include "ui/notice.h"

#include <algorithm>

#include <QAccessible>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace velmora {

namespace {

constexpr int kShownMs = 4000;
const char kObjectName[] = "notice";

}  // namespace

void ShowNotice(QWidget& window, const QString& text) {
  auto* label = window.findChild<QLabel*>(QLatin1String(kObjectName), Qt::FindDirectChildrenOnly);
  if (!label) {
    label = new QLabel(&window);
    label->setObjectName(QLatin1String(kObjectName));
    label->setAccessibleName(QStringLiteral("notice"));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setFocusPolicy(Qt::NoFocus);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("QLabel#notice { background: rgba(0, 0, 0, 210); color: #e8dcdc;"
                                        " border: 1px solid #806060; padding: 0.4em 0.8em; }"));
    auto* timer = new QTimer(label);
    timer->setObjectName(QStringLiteral("noticeTimer"));
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, label, &QWidget::hide);
  }
  label->setText(text);
  // Sized from the font, so no zoom or screen clips it.
  const int width = std::min(window.width() * 9 / 10, label->fontMetrics().horizontalAdvance(text) +
                                                          label->fontMetrics().averageCharWidth() * 4);
  label->setFixedWidth(std::max(width, 1));
  label->adjustSize();
  label->move((window.width() - label->width()) / 2, window.height() - label->height() - window.height() / 12);
  label->raise();
  label->show();
  label->findChild<QTimer*>(QStringLiteral("noticeTimer"))->start(kShownMs);
  QAccessibleEvent event(label, QAccessible::Alert);
  QAccessible::updateAccessibility(&event);
}

QString MissingText(Game::Missing what, const QString& name) {
  const char* text = nullptr;
  switch (what) {
    case Game::Missing::kPage:
      text = QT_TRANSLATE_NOOP("velmora::Notice", "The game has no page \"%1\". LastStart.log says more.");
      break;
    case Game::Missing::kScript:
      text = QT_TRANSLATE_NOOP("velmora::Notice", "The game has no script \"%1\". LastStart.log says more.");
      break;
    case Game::Missing::kLabel:
      text = QT_TRANSLATE_NOOP("velmora::Notice", "The game has no label \"%1\". LastStart.log says more.");
      break;
    case Game::Missing::kPicture:
      text = QT_TRANSLATE_NOOP("velmora::Notice", "The game's picture %1 is missing. LastStart.log says more.");
      break;
  }
  return QCoreApplication::translate("velmora::Notice", text).arg(name);
}

}  // namespace velmora
