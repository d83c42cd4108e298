#pragma once
// What the dialog tests share: a program folder of their own with a
// "playerprofile.ini" written by the test, key presses as the keyboard
// sends them, and controls found by objectName.

// ours
#include "programfolder.h"

// Qt
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QWidget>

// std
#include <gtest/gtest.h>

namespace tarnwick::test {

class SettingsFolder : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(m_folder.path()); }

    QString File() const { return m_folder.path() + QStringLiteral("/playerprofile.ini"); }
    // Lines end in CR LF, as the player writes them.
    void WriteSettings(QString text)
    {
        QFile file(File());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8());
    }
    QByteArray SettingsBytes() const
    {
        QFile file(File());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_folder;
};

inline void Press(QWidget* widget, int key, const QString& text = QString(), Qt::KeyboardModifiers mods = {})
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(widget, &press);
}

template <class T>
T* Control(const QWidget& dialog, const QString& name)
{
    T* control = dialog.findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
}

} // namespace tarnwick::test
