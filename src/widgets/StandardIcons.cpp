#include "widgets/StandardIcons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <map>

namespace {

// The style's icon of one kind, asked of the style when it is first drawn or
// measured. The style reads each standard icon from image files, several
// sizes of it, and many icons of a window are never drawn (those of windows
// under others).
class LazyStandardIconEngine : public QIconEngine {
public:
    explicit LazyStandardIconEngine(QStyle::StandardPixmap kind) : kind_(kind) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        made().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
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
    // Not yet made: the kinds asked for here are icons every style has.
    bool isNull() override { return made_ && icon_.isNull(); }
    QString key() const override { return QStringLiteral("KvLazyStandardIcon"); }
    QIconEngine* clone() const override { return new LazyStandardIconEngine(*this); }

private:
    const QIcon& made() {
        if (!made_) {
            icon_ = QApplication::style()->standardIcon(kind_);
            made_ = true;
        }
        return icon_;
    }

    QStyle::StandardPixmap kind_;
    QIcon icon_;
    bool made_ = false;
};

}  // namespace

QIcon StandardIcon(QStyle::StandardPixmap kind) {
    static std::map<int, QIcon> made;
    const auto found = made.find(int(kind));
    if (found != made.end()) return found->second;
    const QIcon icon(new LazyStandardIconEngine(kind));
    made.emplace(int(kind), icon);
    return icon;
}

QIcon IconCachingStyle::standardIcon(StandardPixmap kind, const QStyleOption* option,
                                     const QWidget* widget) const {
    // An option may ask for a state or size of its own: only the plain icon
    // is kept. Mirrored icons differ by direction.
    if (option) return QProxyStyle::standardIcon(kind, option, widget);
    const std::pair<int, bool> key(int(kind), QGuiApplication::isRightToLeft());
    const auto found = made_.find(key);
    if (found != made_.end()) return found->second;
    const QIcon icon = QProxyStyle::standardIcon(kind, option, widget);
    made_.emplace(key, icon);
    return icon;
}
