// The window for a whole game: a game folder's pictures listed with their
// kind, size and settings, the settings editable kind by kind, and one run
// that converts them all into an output folder, with its progress, a stop
// and a summary at the end.
#ifndef PIXWRIGHT_GUI_GAMEDIALOG_H
#define PIXWRIGHT_GUI_GAMEDIALOG_H

#include "game/GameFolder.h"
#include "gui/GameWorker.h"

#include <QDialog>
#include <QString>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTreeWidget;

class TGameDialog : public QDialog {
    Q_OBJECT

public:
    // Columns of PictureList.
    enum PictureColumn { FileColumn, KindColumn, FormatColumn, SizeColumn, SettingsColumn, ResultColumn };
    // Columns of KindTable.
    enum KindColumn { KindNameColumn, GridModeColumn, GridWidthColumn, GridHeightColumn, KeyColumn };

    explicit TGameDialog(QWidget* parent = nullptr);
    ~TGameDialog() override;

    // Lists folder's pictures at once, as choosing it does.
    void setGameFolder(const QString& folder);
    void setOutputFolder(const QString& folder);
    // The choices every picture shares (the main window's).
    void setOptions(const TGameOptions& options) { options_ = options; }

    // The game as listed, and the settings of each kind as edited.
    const std::vector<game::GameEntry>& entries() const { return entries_; }
    const game::KindPresets& presets() const { return presets_; }

    QLineEdit* GameFolderEdit;
    QPushButton* GameFolderButton;
    QTableWidget* KindTable;
    QTreeWidget* PictureList;
    QLabel* ListSummaryLabel;
    QLineEdit* OutputFolderEdit;
    QPushButton* OutputFolderButton;
    QProgressBar* GameProgressBar;
    QLabel* ProgressLabel;
    QLabel* SummaryLabel;
    QPushButton* ConvertButton;
    QPushButton* StopButton;
    QPushButton* OpenOutputButton;
    QPushButton* CloseButton;
    TGameWorker* Worker;

public slots:
    void GameFolderButtonClick();
    void OutputFolderButtonClick();
    void ConvertButtonClick();
    void StopButtonClick();
    void OpenOutputButtonClick();
    // Closing stops a run first and waits for it.
    void reject() override;

signals:
    // A run ended and its summary is shown.
    void runFinished();

private:
    void createControls();
    void listGame();
    void fillKindTable();
    void kindEdited(int kind);
    void showPictureSettings();
    void pictureStarted(int index);
    void pictureEnded(int index, int result, const QString& messages);
    void runEnded(bool stopped);
    // Every enabled-state rule of the dialog.
    void updateControls();

    QString settingsText(const PixwrightKindSettings& settings) const;
    QString skipText(game::Skip skip) const;

    std::vector<game::GameEntry> entries_;
    game::KindPresets presets_ = game::KindPresets::table();
    TGameOptions options_;
    // The list item of each entry, and the entry of each picture of the run.
    std::vector<int> runEntries_;
    int converted_ = 0;
    int failed_ = 0;
    QStringList failures_;
    bool ran_ = false;
    // Set while the kind table is being filled, so its signals change nothing.
    bool filling_ = false;
};

#endif
