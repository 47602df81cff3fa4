#include "widgets/StandardIcons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <algorithm>
#include <functional>
#include <map>

namespace {

// The style's icon of one kind, asked of the style when it is first drawn or
// measured. The style reads each standard icon from image files, several
// sizes of it, and many icons of a window are never drawn (those of windows
// under others, a menu bar's overflow button).
class LazyStandardIconEngine : public QIconEngine {
public:
    // `square`: the icon is known to be square with a picture of 16 pixels
    // or more.
    LazyStandardIconEngine(std::function<QIcon()> make, bool square) : make_(std::move(make)), square_(square) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        made().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        // A square icon with a picture of 16 pixels or more fills a smaller
        // box by its side: known without making the icon (an item view
        // measures each row's icon before anything is drawn).
        if (!made_ && square_ && size.width() <= 16 && size.height() <= 16) {
            const int side = std::max(0, std::min(size.width(), size.height()));
            return QSize(side, side);
        }
        return made().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return made().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        // size is in device pixels.
        if (scale <= 1.0) return made().pixmap(size, mode, state);
        const QSize logical(qRound(size.width() / scale), qRound(size.height() / scale));
        return made().pixmap(logical, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return made().availableSizes(mode, state);
    }
    QString iconName() override { return made().name(); }
    bool isNull() override { return made().isNull(); }
    QString key() const override { return QStringLiteral("KvLazyStandardIcon"); }
    QIconEngine* clone() const override { return new LazyStandardIconEngine(*this); }

private:
    const QIcon& made() {
        if (!made_) {
            icon_ = make_();
            made_ = true;
        }
        return icon_;
    }

    std::function<QIcon()> make_;
    bool square_ = false;
    QIcon icon_;
    bool made_ = false;
};

}  // namespace

QIcon StandardIcon(QStyle::StandardPixmap kind) {
    static std::map<int, QIcon> made;
    const auto found = made.find(int(kind));
    if (found != made.end()) return found->second;
    // The kinds asked for here (documents, folders, buttons) are all square.
    const QIcon icon(new LazyStandardIconEngine([kind] { return QApplication::style()->standardIcon(kind); }, true));
    made.emplace(int(kind), icon);
    return icon;
}

QIcon IconCachingStyle::standardIcon(StandardPixmap kind, const QStyleOption* option,
                                     const QWidget* widget) const {
    // An option may ask for a state or size of its own: only the plain icon
    // is kept, and the tool bar's overflow arrow, whose option says only
    // which way it points. Mirrored icons differ by direction.
    const bool arrow = kind == SP_ToolBarHorizontalExtensionButton || kind == SP_ToolBarVerticalExtensionButton;
    if (option && !arrow) return QProxyStyle::standardIcon(kind, option, widget);
    const bool rightToLeft = option ? option->direction == Qt::RightToLeft : QGuiApplication::isRightToLeft();
    const std::pair<int, bool> key(int(kind), rightToLeft);
    const auto found = made_.find(key);
    if (found != made_.end()) return found->second;
    // Made from the base style when first drawn or measured.
    QPointer<const IconCachingStyle> self(this);
    const bool withDirection = option != nullptr;
    const QIcon icon(new LazyStandardIconEngine(
        [self, kind, withDirection, rightToLeft] {
            if (!self) return QIcon();
            QStyleOption way;
            way.direction = rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
            return self->QProxyStyle::standardIcon(kind, withDirection ? &way : nullptr, nullptr);
        },
        false));
    made_.emplace(key, icon);
    return icon;
}
