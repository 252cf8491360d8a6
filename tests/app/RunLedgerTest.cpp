// The run ledger: which run a report belongs to, with the failed start told apart from a late
// report of the run before, and the wait for a run's end.
#include "RunLedger.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

namespace {

TEST(RunLedger, NumbersStartedRunsAndWorkerReportsByTheEndsBeforeThem)
{
    TRunLedger Ledger;
    EXPECT_EQ(Ledger.Start([] {}), 1u);
    EXPECT_EQ(Ledger.Start([] {}), 2u);
    // Run 1's end and run 2's reports come from the worker.
    TRunLedger::TRunNumber Reported = 0;
    std::thread Worker([&] {
        Reported = Ledger.ReportRun();
        Ledger.Ended(Reported);
        Reported = Ledger.ReportRun() * 10 + Reported;
    });
    Worker.join();
    EXPECT_EQ(Reported, 21u);
    EXPECT_EQ(Ledger.EndedRuns(), 1u);
    EXPECT_EQ(Ledger.StartedRuns(), 2u);
}

TEST(RunLedger, ReportInsideStartIsTheFailedStartAndARaisingStartCountsNothing)
{
    TRunLedger Ledger;
    TRunLedger::TRunNumber Reported = 99;
    EXPECT_EQ(Ledger.Start([&] { Reported = Ledger.ReportRun(); }), TRunLedger::FailedStart);
    EXPECT_EQ(Reported, TRunLedger::FailedStart);
    EXPECT_THROW(
        Ledger.Start([] { throw std::runtime_error("Component is buisy"); }), std::runtime_error);
    EXPECT_EQ(Ledger.StartedRuns(), 0u);
    // Outside Start this thread's reports are the worker's again.
    EXPECT_EQ(Ledger.ReportRun(), 1u);
    EXPECT_EQ(Ledger.Start([] {}), 1u);
}

TEST(RunLedger, TheWorkersLateEndOfTheRunBeforeDuringAStartIsNotTheFailedStart)
{
    TRunLedger Ledger;
    ASSERT_EQ(Ledger.Start([] {}), 1u);
    TRunLedger::TRunNumber Reported = 0;
    const TRunLedger::TRunNumber Started = Ledger.Start([&] {
        std::thread Worker([&] {
            Reported = Ledger.ReportRun();
            Ledger.Ended(Reported);
        });
        Worker.join();
    });
    EXPECT_EQ(Reported, 1u);
    EXPECT_EQ(Started, 2u);
}

TEST(RunLedger, AwaitEndWakesAtAnEndThatMakesItIdleAndOtherwiseGivesUp)
{
    TRunLedger Ledger;
    EXPECT_TRUE(Ledger.AwaitEnd([] { return true; }, std::chrono::milliseconds(0)));
    EXPECT_FALSE(Ledger.AwaitEnd([] { return false; }, std::chrono::milliseconds(20)));

    std::atomic<bool> Idle{ false };
    std::thread Worker([&] {
        Idle = true;
        Ledger.Ended(1);
    });
    EXPECT_TRUE(Ledger.AwaitEnd([&] { return Idle.load(); }, TestSupport::FailAfter));
    Worker.join();
}

} // namespace
