#pragma once

#include <QLabel>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace core {
class Forms;
}

namespace platform {
class FileDialog;
class MovieControl;
class ProgressBar;
class Tonwell;
} // namespace platform

// The main window: the start window of the player, living for the whole run. It owns the
// movie control and its companions, and its public methods are the command surface that
// the buttons, the hot keys and the popup menu all call.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(core::Forms& forms);
    ~frmMain() override;

    core::Forms& forms() const { return forms_; }

private:
    // Owns CmdD1; declared before the public controls so that it exists when they are bound.
    std::unique_ptr<platform::FileDialog> fileDialog_;

public:
    platform::MovieControl& Flash1;
    platform::ProgressBar& Fbar1;
    platform::Tonwell& Tonwell1;
    platform::FileDialog& CmdD1;
    QTimer Timer1; // progress, 250 ms; disabled until a movie has loaded
    QTimer Timer2; // download percentage, 100 ms; disabled until a movie loads
    QLabel Img1 { this }; // hidden; holds the last captured frame
    bool Dropped = false;

    // Start-up: reads `commandLine` (the whole argument text) and may load a movie.
    void Form_Load(const QString& commandLine);

    void PlayAni();
    void NextAni();
    void ExitAni();
    void RewindAni();
    void ShowAbout();
    void CatchFrame();
    void ShowPlayListWindowAni();
    void BackAni();
    void OpenAni();
    void Extract(int FlashVersion);

protected:
    // Every route of closing (ExitAni, the system, the task bar) comes through here.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_QueryUnload();
    void Form_Unload();
    void LoadSkinPictures();
    void InstallHotKeys();
    void RemoveHotKeys();
    void centreOnScreen();

    core::Forms& forms_;
    bool unloaded_ = false;
};
