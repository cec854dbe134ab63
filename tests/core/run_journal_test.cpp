#include "core/journal/run_journal.h"

#include <gtest/gtest.h>

#include <chrono>

#include "core/file_write_queue.h"
#include "temp_dir.h"

using namespace zentrivo;

namespace {

// Four photos turning left, stopped while the table turned from photo 2 to
// photo 3, then turned back to the start.
RunJournal Interrupted() {
    RunJournal j;
    j.Commands = {"T0001.", "D0005.", "F0000.", "P0050.", "L0300.", "P0050.",
                  "L0300.", "P0050.", "L0300.", "P0050.", "L0300."};
    j.PhotosDone = 2;
    j.RotationsDone = 1;
    j.RotationUnderway = true;
    j.Retaken = 1;
    j.Return = ReturnPlan{"L", 300, 5};
    j.TurnedBack = true;
    j.PhotosAtStart = {"IMG_0001.JPG", "odd\nname\\.jpg"};
    j.PhotosReceived = {"IMG_0002.JPG", "IMG_0009.JPG"};
    j.PhotosSetAside = {"IMG_0009.JPG"};
    j.Written = "08-12-2026 01:20:00";
    return j;
}

}  // namespace

TEST(RunJournal, ReadsBackWhatWasWrittenAndSaysWhereToGoOn) {
    TempDir dir;
    const std::string path = RunJournalPath(dir.Path());
    EXPECT_FALSE(ReadRunJournal(path).exists);
    ASSERT_TRUE(WriteRunJournal(path, Interrupted()));
    const RunJournalRead read = ReadRunJournal(path);
    ASSERT_TRUE(read.exists && read.journal);
    const RunJournal& j = *read.journal;
    EXPECT_EQ(RunJournalText(j), RunJournalText(Interrupted()));
    EXPECT_EQ(j.PhotosAtStart[1], "odd\nname\\.jpg");

    // Photo 3 next; the rotation under way counts as made, and the table
    // goes from the start to where photo 3 is taken.
    EXPECT_EQ(ResumeIndex(j), 7u);
    EXPECT_EQ(RotationsAtResume(j), 2);
    EXPECT_EQ(TurnToResumeCommand(j), "L0600.");
    RunJournal inPlace = j;
    inPlace.TurnedBack = false;
    EXPECT_EQ(TurnToResumeCommand(inPlace), "");
    RunJournal allTaken = j;
    allTaken.PhotosDone = 4;
    EXPECT_EQ(ResumeIndex(allTaken), j.Commands.size());

    // One of the two photos taken came after the last write: it is the run's (a set-aside
    // one is no photo's); what came later and what was there before are left alone.
    const ResumedPhotos photos = PhotosToResume(
        j, {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG", "IMG_0004.JPG", "odd\nname\\.jpg"});
    EXPECT_EQ(photos.received,
              (std::vector<std::string>{"IMG_0002.JPG", "IMG_0009.JPG", "IMG_0003.JPG"}));
    EXPECT_EQ(photos.known,
              (std::vector<std::string>{"IMG_0001.JPG", "IMG_0004.JPG", "odd\nname\\.jpg"}));

    RemoveRunJournal(path);
    EXPECT_FALSE(RunJournalExists(path));
}

// The run hands its journal to a queue that writes beside it: what is read
// after a flush, and what is left once the program ends, is the last thing
// asked for, in the order asked.
TEST(RunJournal, TheQueuedJournalEndsAsTheLastWriteOrRemovalAskedFor) {
    TempDir dir;
    const std::string path = RunJournalPath(dir.Path());
    RunJournal j = Interrupted();
    {
        FileWriteQueue files;
        for (int i = 1; i <= 50; ++i) {
            j.RotationsDone = i;
            files.Write(path, RunJournalText(j));
        }
        files.Flush();
        ASSERT_TRUE(ReadRunJournal(path).journal);
        EXPECT_EQ(ReadRunJournal(path).journal->RotationsDone, 50);

        // A new run removes the old journal before writing its own; a
        // completed one removes it for good.
        files.Remove(path);
        j.RotationsDone = 1;
        files.Write(path, RunJournalText(j));
        files.Flush();
        EXPECT_EQ(ReadRunJournal(path).journal->RotationsDone, 1);
        files.Write(path, RunJournalText(j));
        files.Remove(path);
        files.Flush();
        EXPECT_FALSE(RunJournalExists(path));

        // A write that may come late is replaced by a newer one asked for
        // meanwhile, also one written at once, and a flush does not wait
        // for its moment.
        j.RotationsDone = 2;
        files.Write(path, RunJournalText(j), std::chrono::hours(1));
        j.RotationsDone = 3;
        ASSERT_TRUE(files.WriteNow(path, RunJournalText(j)));
        EXPECT_EQ(ReadRunJournal(path).journal->RotationsDone, 3);
        files.Flush();
        EXPECT_EQ(ReadRunJournal(path).journal->RotationsDone, 3);
        j.RotationsDone = 4;
        files.Write(path, RunJournalText(j), std::chrono::hours(1));
        files.Flush();
        EXPECT_EQ(ReadRunJournal(path).journal->RotationsDone, 4);

        // Written as the program closes, however late it may come: still on
        // the disk afterwards.
        j.Stopped = "08-12-2026 01:21:00";
        files.Write(path, RunJournalText(j), std::chrono::hours(1));
    }
    ASSERT_TRUE(ReadRunJournal(path).journal);
    EXPECT_EQ(ReadRunJournal(path).journal->Stopped, "08-12-2026 01:21:00");
}

TEST(RunJournal, ADamagedJournalIsRefused) {
    const std::string whole = RunJournalText(Interrupted());
    ASSERT_TRUE(ParseRunJournal(whole));
    EXPECT_FALSE(ParseRunJournal(""));
    EXPECT_FALSE(ParseRunJournal(whole.substr(0, whole.size() / 2)));
    EXPECT_FALSE(ParseRunJournal(whole.substr(0, whole.size() - 1)));
    std::string altered = whole;
    altered[whole.find("photos_done=2")] = 'q';
    EXPECT_FALSE(ParseRunJournal(altered));
    std::string zeroed = whole;
    zeroed[40] = '\0';
    EXPECT_FALSE(ParseRunJournal(zeroed));
    // Well formed but impossible: more photos done than the commands take.
    RunJournal impossible = Interrupted();
    impossible.PhotosDone = 5;
    EXPECT_FALSE(ParseRunJournal(RunJournalText(impossible)));

    TempDir dir;
    const std::string path = RunJournalPath(dir.Path());
    dir.Write("zentrivo_run.journal", whole.substr(0, 100));
    const RunJournalRead read = ReadRunJournal(path);
    EXPECT_TRUE(read.exists);
    EXPECT_FALSE(read.journal);
    SetAsideDamagedJournal(path);
    EXPECT_FALSE(RunJournalExists(path));
    EXPECT_EQ(dir.Read("zentrivo_run.journal.damaged"), whole.substr(0, 100));
}
