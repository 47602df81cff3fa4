#pragma once
// An image button: three state pictures (up, down, disabled). The up
// picture is shown while the button is enabled, the disabled one (as it is,
// not greyed by the style) while it is disabled; a button without a disabled
// picture shows its up picture greyed.
#include <QEvent>
#include <QIcon>
#include <QToolButton>
#include <map>
#include <tuple>

class ImageButton : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(QIcon PictureUp READ PictureUp WRITE SetPictureUp)
    Q_PROPERTY(QIcon PictureDown READ PictureDown WRITE SetPictureDown)
    Q_PROPERTY(QIcon PictureDisabled READ PictureDisabled WRITE SetPictureDisabled)
public:
    using QToolButton::QToolButton;
    QIcon PictureUp() const { return up_; }
    QIcon PictureDown() const { return down_; }
    QIcon PictureDisabled() const { return disabled_; }
    void SetPictureUp(const QIcon& i) {
        up_ = i;
        ShowPicture();
    }
    void SetPictureDown(const QIcon& i) { down_ = i; }
    void SetPictureDisabled(const QIcon& i) {
        disabled_ = i;
        ShowPicture();
    }

protected:
    void changeEvent(QEvent* e) override {
        if (e->type() == QEvent::EnabledChange) ShowPicture();
        QToolButton::changeEvent(e);
    }

private:
    void ShowPicture() {
        if (isEnabled() || disabled_.isNull()) {
            setIcon(up_);
            return;
        }
        setIcon(DisabledLook(disabled_, iconSize()));
    }
    // The disabled picture shown as it is in every mode; made once for each
    // picture and size, so that windows made anew show the same icon and
    // put nothing new into Qt's pixmap cache (give shared pictures).
    static QIcon DisabledLook(const QIcon& picture, const QSize& size) {
        static std::map<std::tuple<qint64, int, int>, QIcon> made;
        QIcon& shown = made[{picture.cacheKey(), size.width(), size.height()}];
        if (shown.isNull()) {
            const QPixmap pm = picture.pixmap(size);
            for (auto mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active}) shown.addPixmap(pm, mode);
        }
        return shown;
    }
    QIcon up_, down_, disabled_;
};
