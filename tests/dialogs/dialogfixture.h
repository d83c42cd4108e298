#pragma once
// What the dialog tests share: a program folder of their own with a
// "playerprofile.ini" written by the test, desktop actions that record what
// they are asked instead of opening browsers and tools, key presses as the
// keyboard sends them, and controls found by objectName.

// ours
#include "desktopactions.h"
#include "programfolder.h"
#include "session.h"

// Qt
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

// std
#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
// Readable failures: gtest prints texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace tarnwick::test {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(m_folder.path());
        m_saved = Desktop();
        Desktop().openUrl = [this](const QUrl& url) { return opened << url.toString(), true; };
        Desktop().startProgram = [this](const QString& program) { return started << program, startSucceeds; };
        Desktop().findExecutable = [this](const QString& name) {
            return onPath.contains(name) ? QStringLiteral("/opt/bin/") + name : QString();
        };
        Desktop().showMessage = [this](QWidget* parent, const QString& text) {
            messages << text;
            messageParent = parent;
        };
    }
    void TearDown() override
    {
        Desktop() = m_saved;
        ResetSession();
    }

    void WriteFile(const QString& path, const QString& text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }
    QString File() const { return m_folder.path() + QStringLiteral("/playerprofile.ini"); }
    // Lines end in CR LF, as the player writes them.
    void WriteSettings(QString text) { WriteFile(File(), text.replace('\n', QStringLiteral("\r\n"))); }
    QByteArray SettingsBytes() const
    {
        QFile file(File());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_folder;
    DesktopActions m_saved;
    QStringList opened, started, messages, onPath;
    QWidget* messageParent = nullptr;
    bool startSucceeds = true;
};

// Effects with two items, one item and ItemNumbers missing (five rows), no
// name, and an item past the fifth row.
const QString kEffectSettings = QStringLiteral(
    "[Effect]\nEffect_1=Blend\nCaption_1=Blend\nEffect_2=Drag\nCaption_2=Drag\nCaption_3=Nameless\n"
    "Effect_4=Matrix\nCaption_4=Grid\n"
    "[Blend]\nItem_1=BlendTimes(How many?)\nBlendTimes(How many?)=40\n"
    "[Drag]\nItemNumbers=2\nItem_1=DragTimes\nItem_2=DragInterval(ms)\nDragTimes=100\nDragInterval(ms)=20\n"
    "[Matrix]\nItemNumbers=7\nItem_7=G\nG=7\n");

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
