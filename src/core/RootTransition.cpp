#include "RootTransition.h"

#include "platform/Delays.h"
#include "platform/ViewController.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QPropertyAnimation>
#include <QTimer>
#include <cmath>

namespace {

constexpr int MillisecondsPerSecond = 1000;

// Where the picture of the old screen goes: a reveal "to the right" uncovers the new screen from the
// right, so the old one moves out to the left.
QPoint exitOffset(TransitionOptions::Direction direction, const QSize& size)
{
    switch (direction) {
    case TransitionOptions::Direction::toRight:
        return {-size.width(), 0};
    case TransitionOptions::Direction::toLeft:
        return {size.width(), 0};
    case TransitionOptions::Direction::toTop:
        return {0, size.height()};
    case TransitionOptions::Direction::toBottom:
        return {0, -size.height()};
    case TransitionOptions::Direction::fade:
        break;
    }
    return {};
}

void beginAppearance(QWidget* widget, bool appearing, bool animated)
{
    if (auto* controller = qobject_cast<ViewController*>(widget))
        ViewController::beginAppearance(controller, appearing, animated);
}

void endAppearance(QWidget* widget)
{
    if (auto* controller = qobject_cast<ViewController*>(widget))
        ViewController::endAppearance(controller);
}

} // namespace

void RootTransition::setRootViewController(QMainWindow* window, QWidget* controller,
                                           const std::shared_ptr<TransitionOptions>& options,
                                           std::function<void(bool)> completion)
{
    if (!window || !controller || !options) {
        if (completion)
            QTimer::singleShot(0, [completion] { completion(false); });
        return;
    }
    options->completionBlock = std::move(completion);
    QWidget* oldRoot = window->centralWidget();
    options->previousViewController = oldRoot;
    const int milliseconds = Delays::scaled(int(std::lround(options->duration * MillisecondsPerSecond)));
    const bool animated = milliseconds > 0 && window->isVisible() && oldRoot && oldRoot != controller;

    QWidget* cover = nullptr;
    if (oldRoot && oldRoot != controller) {
        if (animated)
            cover = makeCover(window, oldRoot, oldRoot->geometry());
        beginAppearance(oldRoot, false, animated);
        // takeCentralWidget hands the old screen back instead of deleting it as setCentralWidget would.
        window->takeCentralWidget();
        oldRoot->setParent(window);
        oldRoot->hide();
    }
    beginAppearance(controller, true, animated);
    if (oldRoot != controller) {
        window->setCentralWidget(controller);
        controller->show();
    }

    QPointer<QWidget> previous(oldRoot == controller ? nullptr : oldRoot);
    QPointer<QWidget> next(controller);
    auto finish = [previous, next, options](bool finished) {
        endAppearance(previous);
        endAppearance(next);
        options->animationDidStop(finished);
    };
    if (!cover) {
        QTimer::singleShot(0, window, [finish] { finish(true); });
        return;
    }
    cover->raise();
    cover->show();
    animateCover(cover, *options, milliseconds, finish);
}

QWidget* RootTransition::makeCover(QMainWindow* window, QWidget* oldRoot, const QRect& area)
{
    auto* cover = new QLabel(window);
    cover->setObjectName(QStringLiteral("rootTransitionCover"));
    cover->setPixmap(oldRoot->grab());
    cover->setGeometry(area);
    cover->setAttribute(Qt::WA_TransparentForMouseEvents);
    return cover;
}

void RootTransition::animateCover(QWidget* cover, const TransitionOptions& options, int milliseconds,
                                  std::function<void(bool)> done)
{
    QPropertyAnimation* animation = nullptr;
    if (options.direction == TransitionOptions::Direction::fade) {
        auto* effect = new QGraphicsOpacityEffect(cover);
        cover->setGraphicsEffect(effect);
        animation = new QPropertyAnimation(effect, "opacity", cover);
        animation->setStartValue(1.0);
        animation->setEndValue(0.0);
    } else {
        animation = new QPropertyAnimation(cover, "pos", cover);
        animation->setStartValue(cover->pos());
        animation->setEndValue(cover->pos() + exitOffset(options.direction, cover->size()));
    }
    animation->setDuration(milliseconds);
    animation->setEasingCurve(options.easingCurve());
    auto called = std::make_shared<bool>(false);
    QObject::connect(animation, &QAbstractAnimation::finished, cover, [cover, done, called] {
        *called = true;
        cover->deleteLater();
        done(true);
    });
    // A window closed mid-way takes the cover with it; the caller still hears that the reveal ended.
    QObject::connect(animation, &QObject::destroyed, [done, called] {
        if (!*called) {
            *called = true;
            done(false);
        }
    });
    animation->start();
}
