#pragma once
// The progress window: what is being sent or moved, while it happens. It
// lives from start-up to the end, hidden between operations, and keeps the
// last texts it was given.

#include <QDialog>
#include <string>

#include "core/Progress.h"

class QLabel;

namespace dorvel::ui {

// A copy-files animation of our own: a sheet flying from one folder to the
// other, 34 frames in an endless loop.
class CopyAnimation final : public QWidget {
    Q_OBJECT
public:
    explicit CopyAnimation(QWidget* parent = nullptr);
    void start();
    void stop();  // back on the first frame
    int frame() const { return frame_; }
    bool running() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class QTimer* timer_;
    int frame_ = 1;
};

class TForm3 final : public QDialog, public core::Progress {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

    void SetCaption(const std::string& text) override;
    void SetFileLine(const std::string& text) override;
    void SetRecipientLine(const std::string& text) override;
    void Show() override;
    void Close() override;

    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label2;
    CopyAnimation* Animate1;
};

}  // namespace dorvel::ui
