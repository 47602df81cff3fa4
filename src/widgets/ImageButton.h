#pragma once
// An image button: three state pictures (up, down, disabled); the up
// picture is the one shown.
#include <QIcon>
#include <QToolButton>

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
    void SetPictureUp(const QIcon& i) { up_ = i; setIcon(i); }
    void SetPictureDown(const QIcon& i) { down_ = i; }
    void SetPictureDisabled(const QIcon& i) { disabled_ = i; }
    // All three pictures at once.
    void SetPictures(const QIcon& i) {
        SetPictureUp(i);
        SetPictureDown(i);
        SetPictureDisabled(i);
    }

private:
    QIcon up_, down_, disabled_;
};
