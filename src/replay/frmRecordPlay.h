#pragma once
// The window of a Record view. Its own content (loading a record file and
// replaying its frames) comes with the record replay subsystem; until then it
// shows the view's name and says so. It carries the controls that adding a
// view reaches (frame slider, picture, interval label, image list, transport
// buttons, status line), its frame-interval timer and the pause operation
// the data sheet file uses before it stores a replaying view.
#include <QIcon>
#include <QList>
#include <QToolButton>

#include "sheets/PlaceholderView.h"

class QLabel;
class QSlider;
class QTimer;

// The image buttons of the transport bar: three state pictures (up, down,
// disabled); the up picture is the one shown.
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

private:
    QIcon up_, down_, disabled_;
};

// The window's image list (images numbered from 1).
class ImageListObject : public QObject {
    Q_OBJECT
public:
    explicit ImageListObject(QObject* parent);
    Q_INVOKABLE QIcon ListImage(int index) const;
    QList<QIcon> Images;
};

// A picture that keeps its texts: cleared, then texts written at pixel
// positions in its fore colour and font.
class TextPicture : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor ForeColor MEMBER ForeColor)
    Q_PROPERTY(bool FontBold MEMBER FontBold)
public:
    explicit TextPicture(QWidget* parent);
    Q_INVOKABLE void Cls();
    // Writes the first `length` characters of text with its top-left corner at (x, y).
    Q_INVOKABLE void TextOut(int x, int y, const QString& text, int length);

    struct Text {
        int x, y;
        QString text;
        QColor color;
        bool bold;
    };
    QList<Text> Texts;
    QColor ForeColor = Qt::black;
    bool FontBold = false;

protected:
    void paintEvent(QPaintEvent*) override;
};

class frmRecordPlay : public PlaceholderViewWindow {
    Q_OBJECT
public:
    explicit frmRecordPlay(QWidget* parent = nullptr);

    // Starts the set-up timer and stops the frame-interval timer.
    void Form_Load() override;
    // Pauses the view's replay: status 1 (Pause), timer stopped, status line redrawn.
    void RecordReplayPause();

    QSlider* SliderFrame = nullptr;
    QWidget* RecordWavePic = nullptr;
    QLabel* lblTimeInterval = nullptr;
    ImageListObject* ImageList = nullptr;
    QList<ImageButton*> AresBtnPlay;  // 0..6 transport, 7 loop toggle
    TextPicture* PicMsg = nullptr;
    QTimer* TimerSpeed = nullptr;

protected:
    void Form_Unload() override;
};

// Registers the Record views' window factory with the window registry, and
// the pause the data sheet file asks for before storing a replaying view.
void RegisterRecordWindow();
