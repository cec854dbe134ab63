#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QToolButton>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "main_controls.h"
#include "scripted_board.h"
#include "simulated_shoot.h"
#include "test_app_dir.h"
#include "test_main.h"
#include "ui/up_down.h"

namespace {

using Action = ScriptedBoard::Action;

// The board has no camera: none of the two photos came.
const QString kCompleted =
    "Information|Process successfully completed !\r\nOnly 0 of 2 photos came from the camera !";
const QString kNotInTime = "Error|Device did not respond in time. Terminating process.";
const QString kTestNotSent = "Error|Error during sending a test command to COM port.";
const QString kGone = "\r\nerror reading from serial port: 5 (Input/output error)";
const QString kLostInRun = "Error|Device was disconnected. Terminating process." + kGone;
const QString kLostInTest =
    "Error|Device was disconnected. Please check the cable and try again !" + kGone;

// A board unplugged while it works on a command: no reply, the line dead.
Action GoneAtOnce() {
    Action a;
    a.silent = true;
    a.hangUp = true;
    a.hangUpDelayMs = 0;
    return a;
}

// The program with a process of two photos and rotations only, its port
// pointing at a board the test plays. Polls wait 1 ms instead of 10 so that
// a silent board is given up on quickly.
struct Bench {
    Bench() {
        TfrmMain& w = p.main();
        w.shoot().SetPollSleep([] { QThread::usleep(1000); });
        MainControls(w).ckAutoStart->setChecked(false);
        MainControls(w).udFocusTrajanje->setPosition(0);
        MainControls(w).udMedjuPauza->setPosition(0);
        MainControls(w).txtBrojSlika->setText("2");
        w.btnKreirajProcesClick();  // T D F P L P L
    }
    ~Bench() { unsetenv("ZENTRIVO_COM3"); }

    void Connect(ScriptedBoard& board) { setenv("ZENTRIVO_COM3", board.DevicePath().c_str(), 1); }
    void Start() { QTest::mouseClick(MainControls(p.main()).btnStart, Qt::LeftButton); }
    // Starts on a new board. A port still open on a line that hung up fails
    // its test write and is closed; the next press opens the new line.
    void StartOn(ScriptedBoard& board) {
        Connect(board);
        p.dialogs->Clear();
        Start();
        // The test command's fate comes back from the port's thread.
        QTRY_VERIFY_WITH_TIMEOUT(!p.dialogs->Messages().isEmpty() || p.main().shoot().Running(),
                                 10000);
        if (p.dialogs->Messages().contains(kTestNotSent)) {
            p.dialogs->Clear();
            Start();
        }
    }
    bool Said(const QString& message, int timeoutMs = 20000) {
        QElapsedTimer clock;
        clock.start();
        while (!p.dialogs->Messages().contains(message)) {
            if (clock.elapsed() > timeoutMs) {
                qWarning() << p.dialogs->Messages();
                return false;
            }
            QTest::qWait(5);
        }
        return true;
    }
    // A run on a healthy board goes through from Start to completion.
    bool NextRunWorks() {
        ScriptedBoard healthy([](int, const std::string&) { return Action{}; });
        Connect(healthy);
        MainControls(p.main()).ckAutoPauza->setChecked(false);
        p.dialogs->Clear();
        for (int presses = 0; presses < 2 && !p.dialogs->Messages().contains(kCompleted);
             ++presses) {
            // A port left open on a line that hung up fails its first write
            // and is closed; the press after that opens the new line.
            p.dialogs->Clear();
            Start();
            QElapsedTimer clock;
            clock.start();
            while (MainControls(p.main()).btnStop->isEnabled() || p.dialogs->Messages().isEmpty()) {
                if (clock.elapsed() > 20000) {
                    return false;
                }
                QTest::qWait(5);
            }
        }
        if (!p.dialogs->Messages().contains(kCompleted) || p.main().shoot().DeviceState() != 2) {
            qWarning() << "next run:" << p.dialogs->Messages() << p.main().shoot().DeviceState();
            return false;
        }
        return true;
    }
    // The port is closed and the status bar says so.
    bool Closed() {
        return p.main().shoot().DeviceState() == 0 &&
               p.main().StatusText(1) == "Device is disconnected.";
    }
    // Every command went out only after the one before had its answer.
    static bool OneAtATime(const std::vector<std::string>& commands) {
        return std::count(commands.begin(), commands.end(), "X.") <= 1;
    }

    TestProgram p;
};

}  // namespace

class DeviceFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void hangUpDuringTheConnectionTest();
    void hangUpDuringARotation();
    void hangUpAfterTheRunOnlyTellsTheStatusBar();
    void hangUpDuringTheReturn();
    void garbageAndZeroBytesAsReplies();
    void aReplyOf5000Bytes();
    void aLateReplyAnswersNoLaterCommand();
    void lostBetweenCommandsEndsTheRunBeforeItsMessage();
};

void DeviceFaultsTest::hangUpDuringTheConnectionTest() {
    Bench b;
    // Polls long enough that the line dies while the test still waits.
    b.p.main().shoot().SetPollSleep([] { QThread::msleep(50); });
    ScriptedBoard board([](int, const std::string&) { return GoneAtOnce(); });
    b.Connect(board);
    b.Start();
    QVERIFY(b.Said(kLostInTest));
    QVERIFY(b.Closed());
    QCOMPARE(b.p.main().shoot().Process().ProcessState, 0);
    QCOMPARE(board.Commands(), std::vector<std::string>{"X."});
    QVERIFY(b.NextRunWorks());
}

void DeviceFaultsTest::hangUpDuringARotation() {
    Bench b;
    ScriptedBoard board([](int, const std::string& command) {
        return command[0] == 'L' ? GoneAtOnce() : Action{};
    });
    b.Connect(board);
    b.Start();
    QVERIFY(b.Said(kLostInRun));
    QCOMPARE(b.p.dialogs->Messages(), QStringList{kLostInRun});
    QCOMPARE(b.p.dialogs->shown[0].icon, Dialogs::Icon::Error);
    QVERIFY(b.Closed());
    QCOMPARE(b.p.main().shoot().Process().RotationsDone, 0);
    QVERIFY(MainControls(b.p.main()).btnStart->isEnabled());
    QVERIFY(b.OneAtATime(board.Commands()));
    QCOMPARE(board.Commands().size(), size_t(6));
    QVERIFY(b.NextRunWorks());
}

void DeviceFaultsTest::hangUpAfterTheRunOnlyTellsTheStatusBar() {
    Bench b;
    ScriptedBoard board([](int number, const std::string&) {
        Action a;
        a.hangUp = number == 8;  // the last rotation's reply, then nothing
        return a;
    });
    b.Connect(board);
    b.Start();
    QVERIFY(b.Said(kCompleted));
    QTRY_VERIFY(b.Closed());
    QCOMPARE(b.p.dialogs->Messages(), QStringList{kCompleted});
    // The way back opens the port again, which is gone with its device.
    setenv("ZENTRIVO_COM3", "/nonexistent/zentrivo-tty", 1);
    QTest::mouseClick(MainControls(b.p.main()).btnNaPocetak, Qt::LeftButton);
    QVERIFY(b.Said("Parameters|I can not open COM port. Please check parameters !"));
    QVERIFY(!MainControls(b.p.main()).btnNaPocetak->isEnabled());
    QVERIFY(b.NextRunWorks());
}

void DeviceFaultsTest::hangUpDuringTheReturn() {
    Bench b;
    ScriptedBoard board([](int, const std::string& command) {
        return command[0] == 'R' ? GoneAtOnce() : Action{};
    });
    b.Connect(board);
    b.Start();
    QVERIFY(b.Said(kCompleted));
    QTest::mouseClick(MainControls(b.p.main()).btnNaPocetak, Qt::LeftButton);
    QVERIFY(b.Said(kLostInRun));
    QVERIFY(b.Closed());
    QVERIFY(!MainControls(b.p.main()).btnNaPocetak->isEnabled());
    QCOMPARE(board.Commands().back(), std::string("R1200."));
    QVERIFY(b.NextRunWorks());
}

void DeviceFaultsTest::garbageAndZeroBytesAsReplies() {
    Bench b;
    {
        // Bytes without a capital E are an answer, whatever they are.
        ScriptedBoard board([](int, const std::string&) {
            Action a;
            a.reply = std::string("\x01\x7f\xff~ok\0junk", 10);
            return a;
        });
        b.Connect(board);
        b.Start();
        QVERIFY(b.Said(kCompleted));
        QCOMPARE(b.p.main().shoot().Process().RotationsDone, 2);
    }
    {
        // A reply that starts with a zero byte reads as nothing at all.
        ScriptedBoard board([](int number, const std::string&) {
            Action a;
            if (number == 3) {
                a.reply = std::string("\0E\0", 3);
            }
            return a;
        });
        b.StartOn(board);
        QVERIFY(b.Said(kNotInTime));
        QCOMPARE(board.Commands().size(), size_t(3));
    }
    QVERIFY(b.NextRunWorks());
}

void DeviceFaultsTest::aReplyOf5000Bytes() {
    Bench b;
    ScriptedBoard board([](int number, const std::string&) {
        Action a;
        if (number == 2) {
            a.reply = std::string(5000, 'k');
        }
        return a;
    });
    b.Connect(board);
    b.Start();
    // The rest of the long reply is dropped before the next command; the
    // run goes through one command at a time.
    QVERIFY(b.Said(kCompleted));
    QCOMPARE(board.Commands().size(), size_t(8));
    QVERIFY(b.OneAtATime(board.Commands()));
    QCOMPARE(board.SentEarly(), std::vector<std::string>{});
}

void DeviceFaultsTest::aLateReplyAnswersNoLaterCommand() {
    Bench b;
    std::atomic<bool> givenUp{false};
    std::atomic<bool> answered{false};
    ScriptedBoard board([&](int number, const std::string& command) {
        Action a;
        if (number == 4) {
            // The focus command is answered only after the program has given
            // up on it.
            for (int waited = 0; !givenUp && waited < 30000; ++waited) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            answered = true;
        } else if (number > 4) {
            // In the next run each command takes a moment, a move longer
            // than the pause between two commands.
            a.delayMs = command[0] == 'L' ? 150 : 20;
        }
        return a;
    });
    b.Connect(board);
    b.Start();
    QVERIFY(b.Said(kNotInTime));
    QCOMPARE(b.p.main().shoot().DeviceState(), 2);
    givenUp = true;
    QTRY_VERIFY(answered);
    QTest::qWait(200);  // the late reply reaches the port and waits there

    // The next run polls at the program's own 10 ms: its test is answered
    // well within 11 polls.
    b.p.main().shoot().SetPollSleep({});
    b.p.dialogs->Clear();
    b.Start();
    QVERIFY(b.Said(kCompleted));
    const std::vector<std::string> commands = board.Commands();
    const std::vector<std::string> secondRun(commands.begin() + 4, commands.end());
    QCOMPARE(secondRun, (std::vector<std::string>{"X.", "T0001.", "D0005.", "F0000.", "P0050.",
                                                  "L0600.", "P0050.", "L0600."}));
    QCOMPARE(board.SentEarly(), std::vector<std::string>{});
}

// The board goes away while nothing is sent; the watch notices it. The run
// is over before the message opens, so nothing the message's own event loop
// lets through writes to the closed port: no second box.
void DeviceFaultsTest::lostBetweenCommandsEndsTheRunBeforeItsMessage() {
    // The simulator answers `hangUpAfter` commands, then hangs up; the user
    // does `meanwhile` while the message is up.
    const auto lostDuring = [](const char* hangUpAfter, bool autoPause, bool check,
                               std::function<void(SimulatedShoot&)> meanwhile) {
        const QString lost =
            "Error|Device was disconnected. Terminating process.\r\n"
            "error reading from serial port: 5 (Input/output error)";
        SimulatedShoot s({"--hangup-after", hangUpAfter});
        QuickPhotos(s.main());
        MainControls ui(s.main());
        ui.ckAutoPauza->setChecked(autoPause);
        ui.ckFotosCheck->setChecked(check);
        s.Make("2");
        s.dialogs().whileOpen = [&](const ScriptedDialogs::Shown&) { meanwhile(s); };
        s.Start();
        QVERIFY(s.WaitForMessage(lost));
        s.dialogs().whileOpen = nullptr;
        QTest::qWait(300);
        QCOMPARE(s.dialogs().Messages(), QStringList{lost});
        QCOMPARE(s.main().shoot().Process().ProcessState, 0);
        QVERIFY(!ui.btnPauza->isEnabled());
        QCOMPARE(ui.btnPauza->text(), QString("&Pause"));
    };
    // A running run waits for photo 1 (X. T D F P answered); the photo comes
    // while the message is up.
    lostDuring("5", false, true, [](SimulatedShoot& s) {
        QFile photo(s.cameraDir.filePath("IMG_0001.JPG"));
        QVERIFY(photo.open(QIODevice::WriteOnly));
        photo.write(QByteArray("\xFF\xD8\xFF\xE0") + QByteArray(512, 'j') + "\xFF\xD9");
        photo.close();
        QTest::qWait(2000);  // long enough for the photo to settle
    });
    if (QTest::currentTestFailed()) {
        return;
    }
    // A run paused after its first rotation (X. T D F P L answered);
    // Continue is pressed while the message is up.
    lostDuring("6", true, false, [](SimulatedShoot& s) {
        QTest::mouseClick(MainControls(s.main()).btnPauza, Qt::LeftButton);
        QTest::qWait(300);
    });
}

ZENTRIVO_TEST_MAIN(DeviceFaultsTest)
#include "device_faults_test.moc"
