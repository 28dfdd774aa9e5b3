#include "platform/modalseam.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "util/service.h"

namespace {

TDesktopModalSeam g_desktopSeam;
TServiceSlot<TModalSeam> g_seam(&g_desktopSeam);

// Messages often carry names the user typed; they show as written, never as markup.
void ShowMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

int TDesktopModalSeam::Exec(QDialog& dialog)
{
    return dialog.exec();
}

void TModalSeam::Error(QWidget* parent, const QString& title, const QString& text)
{
    Information(parent, title, text);
}

void TDesktopModalSeam::Error(QWidget* parent, const QString& title, const QString& text)
{
    ShowMessageBox(parent, QMessageBox::Critical, title, text);
}

void TDesktopModalSeam::Information(QWidget* parent, const QString& title, const QString& text)
{
    ShowMessageBox(parent, QMessageBox::Information, title, text);
}

QString TDesktopModalSeam::OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                        const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString TDesktopModalSeam::SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                        const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString TDesktopModalSeam::SaveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& dir,
                                                  const QString& filter, QString& selectedFilter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, &selectedFilter,
                                        QFileDialog::DontConfirmOverwrite);
}

bool TDesktopModalSeam::OpenUrl(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url));
}

QString TModalSeam::SaveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& dir,
                                           const QString& filter, QString& /*selectedFilter*/)
{
    return SaveFileName(parent, caption, dir, filter);
}

TModalSeam& Modal()
{
    return *g_seam.Get();
}

TModalSeam* SetModalSeam(TModalSeam* seam)
{
    return g_seam.Install(seam);
}

QColor TModalSeam::PickColor(QWidget* parent, const QColor& initial)
{
    return QColorDialog::getColor(initial, parent);
}
