#include "core/serial/device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "core/serial/command_time.h"
#include "simulated_board.h"

using namespace zentrivo;

namespace {

// A configured port on the simulated turntable started with `options`.
class SimulatedPort {
public:
    explicit SimulatedPort(const std::vector<std::string>& options) : sim_(options) {
        port_ = OpenPort(sim_.PortName(), true);
        EXPECT_NE(port_, kInvalidPortHandle) << CommErrorText();
        EXPECT_TRUE(ConfigurePort(port_, "57600", "N", "8", "1", true)) << CommErrorText();
    }
    ~SimulatedPort() { ClosePort(port_); }

    // One exchange with the real 10 ms pause, as the windows make it.
    ExchangeResult Exchange(const std::string& command,
                            std::int32_t poll_limit = kCommandPollLimit) {
        return ExchangeCommand(port_, command, poll_limit, true, nullptr, {});
    }

    PortHandle& Port() { return port_; }
    SimulatedBoard& Sim() { return sim_; }

private:
    SimulatedBoard sim_;
    PortHandle port_ = kInvalidPortHandle;
};

struct JudgedReply {
    std::string name;
    std::vector<std::string> sim_options;
    std::string command;
    ExchangeOutcome outcome;
};

// A case is shown by its name, not as the bytes of the struct.
void PrintTo(const JudgedReply& reply, std::ostream* out) {
    *out << reply.name;
}

class ReplyJudgement : public ::testing::TestWithParam<JudgedReply> {};

}  // namespace

TEST_P(ReplyJudgement, OnlyACapitalEAnywhereIsTheDevicesError) {
    SimulatedPort board(GetParam().sim_options);
    const ExchangeResult result = board.Exchange(GetParam().command);
    EXPECT_EQ(result.Outcome, GetParam().outcome) << "reply: " << result.Reply;
    EXPECT_FALSE(result.Reply.empty());
    EXPECT_LE(result.Polls, kCommandPollLimit);
}

INSTANTIATE_TEST_SUITE_P(
    Exchange, ReplyJudgement,
    ::testing::Values(
        JudgedReply{"OkToTheTest", {}, "X.", ExchangeOutcome::Accepted},
        JudgedReply{"OkAfterARotation", {"--time-scale", "0"}, "R0040.", ExchangeOutcome::Accepted},
        JudgedReply{
            "LowerCaseEOnly", {"--reply", "done, e-ok\\r\\n"}, "X.", ExchangeOutcome::Accepted},
        JudgedReply{"CapitalEAlone", {"--reply", "E"}, "X.", ExchangeOutcome::DeviceError},
        JudgedReply{"CapitalEAfterOtherText",
                    {"--reply", "ok: E7\\r\\n"},
                    "T0001.",
                    ExchangeOutcome::DeviceError},
        JudgedReply{"UnknownCommand", {}, "Q0001.", ExchangeOutcome::DeviceError},
        JudgedReply{"NumberTooShort", {}, "R12.", ExchangeOutcome::DeviceError},
        JudgedReply{"InjectedError", {"--error-at", "1"}, "X.", ExchangeOutcome::DeviceError}),
    [](const ::testing::TestParamInfo<JudgedReply>& row) { return row.param.name; });

TEST(Exchange, AnErrorReplyLeavesTheLineWorking) {
    SimulatedPort board({"--error-at", "2"});
    EXPECT_EQ(board.Exchange("X.").Outcome, ExchangeOutcome::Accepted);
    EXPECT_EQ(board.Exchange("T0001.").Outcome, ExchangeOutcome::DeviceError);
    EXPECT_EQ(board.Exchange("D0005.").Outcome, ExchangeOutcome::Accepted);
}

TEST(Exchange, SilenceEndsAfter11Or1001PollsEachLettingEventsRun) {
    SimulatedPort board({"--silent-from", "1"});
    for (const std::int32_t limit : {kTestPollLimit, kCommandPollLimit}) {
        int sleeps = 0;
        int dispatches = 0;
        const ExchangeResult result = ExchangeCommand(
            board.Port(), "X.", limit, true, nullptr, [&] { ++dispatches; }, [&] { ++sleeps; });
        EXPECT_EQ(result.Outcome, ExchangeOutcome::NoReply);
        EXPECT_EQ(result.Reply, "");
        EXPECT_EQ(result.Polls, limit + 1);
        EXPECT_EQ(sleeps, limit + 1);
        EXPECT_EQ(dispatches, limit + 1);
    }
}

#ifndef _WIN32
// The test plays the board itself here, to time the reply to a poll.
TEST(Exchange, AReplyFirstSeenAtTheLastPollCountsOnlyWhenItHoldsE) {
    struct Case {
        int arrives_at_poll;
        std::string reply;
        ExchangeOutcome outcome;
    };
    const Case cases[] = {
        {10, "OK", ExchangeOutcome::Accepted},
        {11, "OK", ExchangeOutcome::NoReply},
        {11, "ERR", ExchangeOutcome::DeviceError},
        {1, "E", ExchangeOutcome::DeviceError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply + " at poll " + std::to_string(c.arrives_at_poll));
        ControllerLine line;
        PointComPortAt(61, line.DevicePath());
        PortHandle port = OpenPort("COM61", true);
        ASSERT_TRUE(ConfigurePort(port, "57600", "N", "8", "1", true));
        int sleeps = 0;
        const ExchangeResult result =
            ExchangeCommand(port, "X.", kTestPollLimit, true, nullptr, {}, [&] {
                if (++sleeps == c.arrives_at_poll) {
                    line.Say(c.reply, port);
                }
            });
        EXPECT_EQ(result.Outcome, c.outcome);
        EXPECT_EQ(result.Reply, c.reply);
        EXPECT_EQ(result.Polls, c.arrives_at_poll);
        EXPECT_EQ(line.Heard(2), "X.");
        ClosePort(port);
    }
}
#endif

TEST(Exchange, WhatWaitsOnTheLineBeforeACommandIsNeverItsReply) {
    SimulatedPort board({"--split-replies", "--split-gap", "300"});
    const ExchangeResult first = board.Exchange("X.");
    EXPECT_EQ(first.Outcome, ExchangeOutcome::Accepted);
    EXPECT_EQ(first.Reply, "OK");

    // The tail of the first reply has come; the next command is answered by
    // its own reply, not by that tail.
    WaitUntilWaiting(board.Port(), 1);
    const ExchangeResult second = board.Exchange("T0001.");
    EXPECT_EQ(second.Outcome, ExchangeOutcome::Accepted);
    EXPECT_EQ(second.Reply, "OK");
}

TEST(Exchange, ACommandIsWaitedForAsLongAsItTakesPlusTheUsualLimit) {
    ControllerPace pace;
    NoteAccepted(pace, "D0100.");
    NoteAccepted(pace, "F2000.");
    NoteAccepted(pace, "T0001.");  // no time of its own
    // 8 photos a turn at period 100: 150 steps of 100 ms, 15 s.
    EXPECT_EQ(PollLimitFor("L0150.", pace), kCommandPollLimit + 1500);
    EXPECT_EQ(PollLimitFor("R12000.", pace), kCommandPollLimit + 120000);
    EXPECT_EQ(PollLimitFor("P0050.", pace), kCommandPollLimit + 205);
    EXPECT_EQ(PollLimitFor("W0055.", pace), kCommandPollLimit + 6);
    EXPECT_EQ(PollLimitFor("F2000.", pace), kCommandPollLimit + 200);
    for (const char* untimed : {"T0001.", "D0100.", "X.", "Lab12.", "L0040"}) {
        EXPECT_EQ(PollLimitFor(untimed, pace), kCommandPollLimit) << untimed;
    }
    // A hand-typed giant is waited for long, never for a negative time.
    EXPECT_EQ(PollLimitFor("L99999999999999999999.", pace), 2147483646);
}

TEST(Exchange, AFailedWriteIsSendFailedAndNothingIsRead) {
    SimulatedPort board({"--hangup-after", "1"});
    board.Exchange("X.");
    ASSERT_EQ(board.Sim().WaitForExit(), 0);

    std::vector<std::string> shown;
    SetCommMessageSink([&](const std::string& text) { shown.push_back(text); });
    int sleeps = 0;
    bool waiting = false;
    const ExchangeResult result = ExchangeCommand(board.Port(), "T0001.", kCommandPollLimit, false,
                                                  &waiting, {}, [&] { ++sleeps; });
    SetCommMessageSink(nullptr);
    EXPECT_EQ(result.Outcome, ExchangeOutcome::SendFailed);
    EXPECT_EQ(result.Polls, 0);
    EXPECT_EQ(sleeps, 0);
    EXPECT_FALSE(waiting);
#ifdef _WIN32
    // How Wine reports the pseudo-terminal that lost its other end.
    const std::string hung_up = "error writing to serial port: 21 (Not ready)";
#else
    const std::string hung_up = "error writing to serial port: 5 (Input/output error)";
#endif
    EXPECT_EQ(shown, std::vector<std::string>{hung_up});
}

TEST(Exchange, ABoardThatHangsUpDuringTheWaitEndsItAtThatPoll) {
    for (const ExchangePace pace : {ExchangePace::Standard, ExchangePace::Fast}) {
        SCOPED_TRACE(pace == ExchangePace::Fast ? "fast pace" : "usual pace");
        SimulatedPort board({"--hangup-at", "1"});
        bool waiting = false;
        const ExchangeResult result = ExchangeCommand(board.Port(), "R0040.", kCommandPollLimit,
                                                      false, &waiting, {}, {}, pace);
        EXPECT_EQ(result.Outcome, ExchangeOutcome::DeviceLost);
        EXPECT_EQ(result.Reply, "");
        // Not the whole limit: the wait ended when the line went dead.
        EXPECT_LE(result.Polls, kCommandPollLimit);
        EXPECT_FALSE(waiting);
        EXPECT_EQ(CommErrorText().rfind("error reading from serial port: ", 0), 0u)
            << CommErrorText();
        EXPECT_EQ(board.Sim().WaitForExit(), 0);
    }
}

TEST(Exchange, WaitingReplyIsUpAtEveryPollOnlyWhenAskedAndDownAfter) {
    SimulatedPort board({"--silent-from", "1"});
    bool waiting = false;
    std::vector<bool> seen;
    ExchangeCommand(
        board.Port(), "R0040.", 3, false, &waiting,
        [&] { waiting = false; },  // as a tick run inside the wait does
        [&] { seen.push_back(waiting); });
    EXPECT_EQ(seen, std::vector<bool>(4, true));
    EXPECT_FALSE(waiting);

    seen.clear();
    ExchangeCommand(board.Port(), "L0040.", 3, false, nullptr, {},
                    [&] { seen.push_back(waiting); });
    EXPECT_EQ(seen, std::vector<bool>(4, false));
}

TEST(Exchange, TheFastPaceTakesARepliesPiecesWholeAndOnlyItsOwn) {
    // A reply in two writes 1 ms apart, as a board that prints its answer
    // in two calls, then the next command's reply.
    SimulatedPort board({"--split-replies", "--split-gap", "1"});
    for (const char* command : {"X.", "T0001."}) {
        const ExchangeResult result = ExchangeCommand(board.Port(), command, kCommandPollLimit,
                                                      true, nullptr, {}, {}, ExchangePace::Fast);
        EXPECT_EQ(result.Outcome, ExchangeOutcome::Accepted) << command;
        EXPECT_EQ(result.Reply, "OK\r\n") << command;
    }
    // The error signal in the second piece is the board's error.
    SimulatedPort erring({"--split-replies", "--split-gap", "1", "--reply", "OK E"});
    const ExchangeResult result = ExchangeCommand(erring.Port(), "X.", kCommandPollLimit, true,
                                                  nullptr, {}, {}, ExchangePace::Fast);
    EXPECT_EQ(result.Outcome, ExchangeOutcome::DeviceError);
    EXPECT_EQ(result.Reply, "OK E");
    // Without a line end, "O" then "K" 1 ms later are still one reply; one
    // ended by a line end is whole at once, and what comes 1 ms after it is
    // not its own (unless this busy machine read only after both had come:
    // it is tried a few times).
    SimulatedPort pieces({"--split-replies", "--split-gap", "1", "--reply", "OK"});
    EXPECT_EQ(ExchangeCommand(pieces.Port(), "X.", kCommandPollLimit, true, nullptr, {}, {},
                              ExchangePace::Fast)
                  .Reply,
              "OK");
#ifndef _WIN32
    // Windows delivers what has come by the millisecond.
    SimulatedPort ended({"--split-replies", "--split-gap", "1", "--reply", "OK\\nXYZ"});
    bool endedAtOnce = false;
    for (int attempt = 0; attempt < 10 && !endedAtOnce; ++attempt) {
        const std::string reply = ExchangeCommand(ended.Port(), "X.", kCommandPollLimit, true,
                                                  nullptr, {}, {}, ExchangePace::Fast)
                                      .Reply;
        EXPECT_EQ(reply.substr(0, 3), "OK\n");
        endedAtOnce = reply == "OK\n";
    }
    EXPECT_TRUE(endedAtOnce);
#endif

    // A reply that comes late, after a command that takes the board time,
    // is waited for on the line.
    SimulatedPort slow({"--time-scale", "0.2"});
    const ExchangeResult late = ExchangeCommand(slow.Port(), "W1000.", kCommandPollLimit, true,
                                                nullptr, {}, {}, ExchangePace::Fast);
    EXPECT_EQ(late.Outcome, ExchangeOutcome::Accepted);
    EXPECT_EQ(late.Reply, "OK\r\n");
    EXPECT_GT(late.Polls, 1);
}

TEST(Exchange, AtTheFastPaceSilenceIsStillPollsOfTenMsEachLettingEventsRun) {
    SimulatedPort board({"--silent-from", "1"});
    int dispatches = 0;
    int sleeps = 0;
    const auto began = std::chrono::steady_clock::now();
    const ExchangeResult result = ExchangeCommand(
        board.Port(), "X.", kTestPollLimit, true, nullptr, [&] { ++dispatches; }, [&] { ++sleeps; },
        ExchangePace::Fast);
    const auto took = std::chrono::steady_clock::now() - began;
    EXPECT_EQ(result.Outcome, ExchangeOutcome::NoReply);
    EXPECT_EQ(result.Polls, kTestPollLimit + 1);
    EXPECT_EQ(dispatches, kTestPollLimit + 1);
    EXPECT_EQ(sleeps, 0);  // the fixed pause is the standard pace's alone
    // A limit in polls keeps its length in time: 11 polls, 110 ms at least.
    EXPECT_GE(took, std::chrono::milliseconds(10 * (kTestPollLimit + 1)));
}
