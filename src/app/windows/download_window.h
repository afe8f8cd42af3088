#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace pluvik {

// One download in the download window: the file name, the bytes so far, the state and, while the
// download runs, its 取消 button.
class DownloadRow : public QWidget {
    Q_OBJECT
public:
    DownloadRow(const QString& fileName, QWidget* parent);

    void setProgress(qint64 received, qint64 total);
    // `running` keeps the 取消 button; a finished row has nothing left to cancel.
    void setState(const QString& text, bool running);

    QString fileName() const;
    QString progressText() const;
    QString stateText() const;
    QPushButton* cancelButton() const { return m_cancel; }

signals:
    void cancelRequested();

private:
    QLabel* m_name;
    QLabel* m_progress;
    QLabel* m_state;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
};

// The download window 下载: one row per download of this session, newest on top. Closing it only hides
// it; the downloads go on and it comes back with the next one.
class DownloadWindow : public QWidget {
    Q_OBJECT
public:
    explicit DownloadWindow(QWidget* parent = nullptr);

    DownloadRow* addRow(const QString& fileName);
    QList<DownloadRow*> rows() const;
    // Shows the window (again) and brings it to the front.
    void present();

private:
    QVBoxLayout* m_rows;
};

}  // namespace pluvik
