#pragma once
// What the dialog tests share: a program folder of their own holding a
// "playerprofile.ini" written by the test, key presses sent the way the
// keyboard sends them, and controls looked up by their objectName.

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
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        SetProgramFolder(m_folder.path());
    }

    // Replaces the settings file; lines end in CR LF as the player writes them.
    void WriteSettings(QString text)
    {
        QFile file(m_folder.path() + QStringLiteral("/playerprofile.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8());
    }

    QByteArray SettingsBytes() const
    {
        QFile file(m_folder.path() + QStringLiteral("/playerprofile.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_folder;
};

// One key press and release on `widget`, carrying the text the key types.
inline void Press(QWidget* widget, int key, const QString& text = QString(),
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

// The control named `name` of `dialog`; a failure when there is none.
template <class T>
T* Control(const QWidget& dialog, const QString& name)
{
    T* control = dialog.findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
}

} // namespace tarnwick::test
