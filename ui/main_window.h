#pragma once

#include <QTimer>
#include <QWidget>
#include <chrono>
#include <memory>
#include <optional>

#include "call_check.h"
#include "message.h"
#include "recovery.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QAction;
class QPushButton;
class QSessionManager;

namespace cardel {

class ExportActions;
class LogBox;
class Platform;
class History;
class ScoreWindow;

// The one window. It holds all of the logbook's state in its controls, reads
// them when an event comes, lets the core decide and shows the result.
class Form15 : public QWidget {
  Q_OBJECT

 public:
  explicit Form15(Platform& platform, QWidget* parent = nullptr);
  ~Form15() override;

  // Before the window takes input: offers back a log that a run which did not
  // end normally left behind, then keeps every change of the log on the disk.
  void startRecovery(std::chrono::milliseconds rewriteDelay = kRecoveryRewriteDelay);
  // Reads the folder "storico" beside the program on a thread of its own, so
  // the window paints at once; its known locators are used once it is read.
  void loadHistory();
  // "Storico: N nominativi da M file", once the history is read.
  const QString& historyStatus() const { return historyStatus_; }
  Recovery& recovery() { return *recovery_; }

  CallMark callMark() const { return mark_; }
  // "Stazione..." and "Esporta...", with the station read at start.
  ExportActions& exportActions() { return *exportActions_; }
  QString logFilePath() const;
  // "Punteggio": the running score, opened and closed by scoreAction.
  ScoreWindow& scoreWindow() { return *scoreWindow_; }
  QAction* scoreAction = nullptr;

  // The controls, named as in the design documents the operators know.
  QGroupBox* Frame1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  LogBox* Text1;
  QLineEdit* Text2;
  QLineEdit* Text3;
  QLineEdit* Text4;
  QComboBox* Combo1;
  QPushButton* Command1;
  QPushButton* Command2;
  QPushButton* Command3;
  QPushButton* Command4;
  QCheckBox* Check1;
  QCheckBox* Check2;
  QCheckBox* Check3;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createControls();
  void chainTabOrder();
  void connectHandlers();
  void load();
  void centerOnScreen();

  void onCommand1Clicked();
  void onCommand2Clicked();
  void onCommand3Clicked();
  void onCommand4Clicked();
  void onCheck1Clicked();
  void onCheck2Toggled();
  void onCheck3Toggled();
  void onText1Changed();
  void onText2Changed();
  void onText4Changed();
  void onEnterKeyDown();
  void onCommitDataRequest(QSessionManager& manager);

  bool confirmExit();
  void showMessage(const Message& message);
  void renewMark();
  void setMark(CallMark mark);
  void renewDistance();
  void renewSquareMark();
  void startHistoryLoad();
  void prefillLocator();
  std::optional<QString> knownLocator(const QString& callSign) const;
  void toggleScoreWindow();
  void showScoreWindow();
  QPoint placeBeside() const;
  void keepScoreWindowPlace();
  void renewScoring();
  void renewScore();
  void fillScoreWindow();

  Platform& platform_;
  CallMark mark_ = CallMark::Normal;
  bool exitConfirmed_ = false;
  bool prefilled_ = false;
  bool scoreWindowRestored_ = false;
  bool scoreCounted_ = false;  // the log model counts the score
  bool painted_ = false;
  bool historyDue_ = false;  // loadHistory() came before the first paint
  std::shared_ptr<const History> history_;
  QString historyStatus_;  // Text4 holds a prefill the operator has not touched
  std::unique_ptr<Recovery> recovery_;
  ExportActions* exportActions_ = nullptr;
  ScoreWindow* scoreWindow_ = nullptr;
  QTimer scoreClock_;  // the last hour's contacts change with the clock
};

}  // namespace cardel
