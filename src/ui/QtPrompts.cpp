#include "ui/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace kadenzo {
namespace {

// Message texts use a carriage return as their line break.
QString shown(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');
    return s;
}

QWidget* owner() {
    return QApplication::activeWindow();
}

// "Kadenzo Files|*.seq" -> "Kadenzo Files (*.seq)".
QString qtFilter(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << QString("%1 (%2)").arg(parts[i], parts[i + 1]);
    return out.join(";;");
}

std::optional<std::string> runDialog(FileDialogSpec& dialog, bool save) {
    QFileDialog d(owner());
    d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d.setNameFilter(qtFilter(dialog.filter));
    QString ext = QString::fromStdString(dialog.defaultExt);
    ext.remove("*.");
    d.setDefaultSuffix(ext);
    if (!save || !dialog.promptOverwrite)
        d.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!dialog.initialDir.empty())
        d.setDirectory(QString::fromStdString(dialog.initialDir));
    if (!dialog.fileName.empty())
        d.selectFile(QString::fromStdString(dialog.fileName));
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return std::nullopt;
    std::string chosen = d.selectedFiles().first().toStdString();
    dialog.fileName = chosen;
    return chosen;
}

} // namespace

void QtPrompts::beep() {
    QApplication::beep();
}

void QtPrompts::error(const std::string& text) {
    QMessageBox::critical(owner(), "Error", shown(text), QMessageBox::Ok);
}

Prompts::Answer QtPrompts::confirm(const std::string& text) {
    auto b = QMessageBox::question(owner(), "Confirm", shown(text),
                                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return b == QMessageBox::Yes ? Answer::Yes : b == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void QtPrompts::confirmOk(const std::string& text) {
    QMessageBox::question(owner(), "Confirm", shown(text),
                          QMessageBox::StandardButtons(QMessageBox::Ok));
}

void QtPrompts::exception(const std::string& text) {
    QMessageBox::critical(owner(), "Kadenzo", shown(text), QMessageBox::Ok);
}

std::optional<std::string> QtPrompts::openFile(FileDialogSpec& dialog) {
    return runDialog(dialog, false);
}

std::optional<std::string> QtPrompts::saveFile(FileDialogSpec& dialog) {
    return runDialog(dialog, true);
}

} // namespace kadenzo
