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
#include "widgets/ImageButton.h"
#include "widgets/TextPicture.h"

class QLabel;
class QSlider;
class QTimer;

// The window's image list (images numbered from 1).
class ImageListObject : public QObject {
    Q_OBJECT
public:
    explicit ImageListObject(QObject* parent);
    QIcon ListImage(int index) const;
    QList<QIcon> Images;
};

class frmRecordPlay : public PlaceholderViewWindow {
    Q_OBJECT
public:
    explicit frmRecordPlay(QWidget* parent = nullptr);

    // Starts the set-up timer and stops the frame-interval timer.
    void Form_Load() override;
    // A new view: slider 1 ... 1000 at 1 and disabled, the interval label,
    // the loop button's pictures, transport buttons 0 ... 6 disabled, and the
    // record's status text on the status line.
    void PrepareNewView(int slot) override;
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
