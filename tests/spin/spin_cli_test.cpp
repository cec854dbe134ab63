// zentrivo-spin as a user runs it: its output, its messages, its exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "spin/jpeg_file.h"
#include "turn_photos.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int exit = -1;
    std::string out;
    std::string err;
};

struct SpinCliTest : ::testing::Test, TurnFolders {
    const fs::path& photos = source;
    const fs::path& view = target;

    SpinCliTest() : TurnFolders("my photos") { WritePhotos(6); }

    // `shell` runs first in the same shell, to set its limits.
    Outcome Spin(const std::string& arguments, const std::string& shell = {}) const {
        const fs::path out = fs::path(dir.Path()) / "out.txt";
        const fs::path err = fs::path(dir.Path()) / "err.txt";
        const std::string command = shell + std::string("'") + ZENTRIVO_SPIN + "' " + arguments +
                                    " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        Outcome run;
        run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = zentrivo::ReadWholeFile(out);
        run.err = zentrivo::ReadWholeFile(err);
        return run;
    }
    std::string Folders() const { return "'" + photos.string() + "' '" + view.string() + "'"; }
};

}  // namespace

TEST_F(SpinCliTest, GoodInputExportsAndListsWhatItWrote) {
    const Outcome help = Spin("--help");
    EXPECT_EQ(help.exit, 0);
    EXPECT_EQ(help.out.rfind("Usage: zentrivo-spin SOURCE TARGET", 0), 0u) << help.out;

    const Outcome run = Spin(Folders() + " --frames 3 --size=64 --reverse --formats html,webp");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out, (view / "frames").string() + "\n" + (view / "spin.js").string() + "\n" +
                           (view / "index.html").string() + "\n" + (view / "spin.webp").string() +
                           "\n");
    EXPECT_NE(run.err.find("Making the frames: 3/3"), std::string::npos) << run.err;
    EXPECT_EQ(FrameNumber(view / "frames" / "2.jpg"), 5);  // 1, 3, 5 turned the other way
    EXPECT_EQ(zentrivo::DecodeJpegAtLeast(view / "frames" / "1.jpg", 1000).width, 64);
}

TEST_F(SpinCliTest, BadInputAndFailuresHaveTheirOwnExitCodes) {
    const auto expect = [this](const std::string& arguments, int exit, const std::string& said) {
        const Outcome run = Spin(arguments);
        EXPECT_EQ(run.exit, exit) << arguments;
        EXPECT_NE(run.err.find(said), std::string::npos) << arguments << ": " << run.err;
        EXPECT_EQ(run.out, "") << arguments;
    };
    expect("", 2, "Give the SOURCE and TARGET folders.");
    expect(Folders() + " --size 5", 2, "--size takes pixels from 16 to 8192, not \"5\".");
    expect(Folders() + " --formats html,gif", 2, "--formats takes a list of html, webp and mp4");
    expect(Folders() + " --turn", 2, "--turn needs a value.");
    expect(Folders() + " --loop", 2, "Unknown option --loop.");
    expect(Folders() + " --framing tight", 2, "--framing takes as-shot or spin, not \"tight\".");
    expect(Folders() + " --fill 0", 2, "--fill takes a percentage from 1 to 100, not \"0\".");
    expect(Folders() + " --frames 7", 2, "The source folder holds 6 photos");
    expect("'" + view.string() + "' '" + photos.string() + "'", 2, "does not exist");
    EXPECT_FALSE(fs::exists(view));

    fs::resize_file(photos / "4.jpg", 100);
    expect(Folders(), 1, "The photo \"4.jpg\" could not be read");
    EXPECT_FALSE(fs::exists(view));
}

TEST_F(SpinCliTest, FramesAndEveryTogetherAreBadInput) {
    const Outcome run = Spin(Folders() + " --frames 5 --every 2");
    EXPECT_EQ(run.exit, 2);
    EXPECT_NE(run.err.find("Give --frames or --every, not both."), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(view));
}

TEST_F(SpinCliTest, AFailedWriteNamesTheTargetAndTheSystemsReason) {
    // Files may not grow beyond one block, as on a disk that is full: the
    // first frame cannot be written.
    const Outcome run =
        Spin(Folders() + " --size 256 --formats html", "trap '' XFSZ; ulimit -f 1; ");
    EXPECT_EQ(run.exit, 1);
    EXPECT_NE(run.err.find("The export could not write \"" + (view / "frames").string() + "/"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(": File too large."), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(".zentrivo-spin"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(view));
}
