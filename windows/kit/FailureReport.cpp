#include "FailureReport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "FileError.h"

namespace {
std::function<void(const QString&)> g_capture;
}  // namespace

void ShowFailureBox(QWidget* parent, const QString& text) {
    if (g_capture) {
        g_capture(text);
        return;
    }
    const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QMessageBox::critical(parent, caption, text, QMessageBox::Ok);
}

void SetFailureBoxCapture(std::function<void(const QString&)> capture) {
    g_capture = std::move(capture);
}

void ReportNoticesLater(QWidget* window, const QStringList& notices) {
    if (notices.isEmpty()) {
        return;
    }
    QPointer<QWidget> parent(window);
    const QString text = notices.join('\n');
    QTimer::singleShot(0, [parent, text] {
        if (g_capture) {
            g_capture(text);
            return;
        }
        const QString caption =
            QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        QMessageBox::information(parent.data(), caption, text, QMessageBox::Ok);
    });
}

void ReportFailureLater(QWidget* window, const std::exception_ptr& failure) {
    QString text;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        text = QString::fromStdString(FailureText(error));
    }
    QPointer<QWidget> parent(window);
    QTimer::singleShot(0, [parent, text] { ShowFailureBox(parent.data(), text); });
}

void RunUserAction(QWidget* window, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception&) {
        ReportFailureLater(window, std::current_exception());
    }
}
