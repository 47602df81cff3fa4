#pragma once
// The window of a Record view: a tool strip (open, the two background
// schemes, export, print, preview), the frame picture, the frame slider, the
// transport and interval buttons, and the status line. The replay itself is
// ReplayEngine, the picture FrameDrawing, the file RecordFile (model/); this
// window forwards its clicks, slider and timers to them, gives them the UI
// language and the shell's channel colours, and shows the result. Its buttons
// with tool tips are named for screen readers by their tips.
//
// The window finds its view's record through its tag at every use, so a view
// moved to another slot keeps working.
#include <QIcon>
#include <QImage>
#include <QList>
#include <QToolButton>

#include "replay/model/ReplayEngine.h"
#include "replay/model/StatusLine.h"
#include "sheets/ViewWindow.h"
#include "widgets/ImageButton.h"

class QLabel;
class QSlider;
class QTimer;
struct RecordInfo;

// The window's image list (images numbered from 1): 1 loop off, 2 loop on,
// 3/4 Play latched/grey, 5/6 Pause, 7/8 Stop, 9 and 10 the loop button's
// hover and pressed pictures with loop off.
class ImageListObject : public QObject {
    Q_OBJECT
public:
    explicit ImageListObject(QObject* parent);
    Q_INVOKABLE QIcon ListImage(int index) const;
    QList<QIcon> Images;
};

// The status line: its texts are taken from the view's record (status word,
// frame, frame count) at every refresh and repaint, so a language switch (the
// shell invokes Refresh) or a reopened window shows it as the record has it.
// Its accessible name is the line's text ("Replaying 3/10"), kept with it.
class StatusPicture : public QWidget {
    Q_OBJECT
public:
    StatusPicture(QWidget* parent, std::function<const RecordInfo*()> record);
    Q_INVOKABLE void Refresh();
    QList<StatusText> Texts;  // what the line shows

protected:
    void paintEvent(QPaintEvent*) override;

private:
    // Texts and the accessible name from the record (none without one).
    void TakeTexts();
    std::function<const RecordInfo*()> record_;
};

// The frame picture: shows the image last drawn for it (what the export
// saves) and asks for a new one when its size changes.
class FramePicture : public QWidget {
    Q_OBJECT
public:
    explicit FramePicture(QWidget* parent);
    QImage Picture;
    std::function<void()> Resized;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
};

class frmRecordPlay : public ViewWindow {
    Q_OBJECT
public:
    explicit frmRecordPlay(QWidget* parent = nullptr);
    ~frmRecordPlay() override;

    // Arms the one-shot set-up; the window draws nothing until it has run.
    void Form_Load() override;
    // A newly added view: no record yet, the open prompt, nothing to press.
    void PrepareNewView(int slot) override;
    // Lays out and redraws: the frame and status line once a frame is on
    // display, else the empty graticule.
    void Form_Resize();
    // Pauses a running replay (the data sheet calls it before it stores).
    void RecordReplayPause();

    // Handlers of the tool strip.
    void cmdRun_Click();     // open a record file
    void FlatBttn1_Click();  // save the picture as a BMP file
    void FlatBttn2_Click();  // print
    void FlatBttn3_Click();  // print preview
    void FlatBttn4_Click();  // black scheme
    void FlatBttn5_Click();  // white scheme

    // Reads a record file into the view and starts its replay; false when
    // nothing was loaded (the view is then unchanged, the refusal's message
    // or the system's reason shown).
    bool OpenRecordFile(const QString& path);

    // The view's record; null while the tag names no slot.
    RecordInfo* Record() const;

    double ZoomFactor = 1.0;

    QToolButton *cmdRun = nullptr, *FlatBttn1 = nullptr, *FlatBttn2 = nullptr, *FlatBttn3 = nullptr,
                *FlatBttn4 = nullptr, *FlatBttn5 = nullptr;
    QWidget* RecordBackPic = nullptr;
    FramePicture* RecordWavePic = nullptr;
    QSlider* SliderFrame = nullptr;
    QList<ImageButton*> AresBtnPlay;  // 0..6 transport, 7 loop toggle
    QToolButton *AresBtnAdd = nullptr, *AresBtnSub = nullptr, *AresBtnDefaultTime = nullptr;
    QLabel* lblTimeInterval = nullptr;
    StatusPicture* PicMsg = nullptr;
    ImageListObject* ImageList = nullptr;
    QTimer* TimerInterval = nullptr;  // the frame timer
    QTimer* TimerSpeed = nullptr;     // repeat of a held interval button, 100 ms

protected:
    // The one-shot set-up: the window takes the look of its view's record.
    void SetUp() override;
    void Form_Unload() override;

private:
    void ApplyControls();
    void ShowInterval();
    void ShowLoopPictures();
    void SetScheme(bool black);
    void PrintOrPreview(bool preview);
    void RedrawPicture();
    ReplayEngine engine_;
};

// Registers the Record views' window factory with the window registry, and
// the pause the data sheet file asks for before storing a replaying view.
void RegisterRecordWindow();
