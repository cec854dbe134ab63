#include "core/photos/photo_ledger.h"

#include "core/photos/photo_arrival.h"

#include <gtest/gtest.h>

using namespace zentrivo;

namespace {

using Names = std::vector<std::string>;

}  // namespace

TEST(PhotoLedger, EachPositionKeepsThePhotoTakenThereAndEveryOtherIsSetAside) {
    PhotoLedger ledger;
    ledger.Exposed(1, {});
    ledger.Place({"IMG_0001.JPG"});
    ledger.Exposed(2, {"IMG_0001.JPG"});
    ledger.Place({"IMG_0001.JPG"});
    EXPECT_FALSE(ledger.Served(2));

    // Photo 2 is late and taken again; the retake comes first and serves,
    // the first shot comes while position 3 is under way and sorts before it.
    ledger.Exposed(2, {"IMG_0001.JPG"});
    ledger.Place({"IMG_0001.JPG", "img_0003.jpg"});
    EXPECT_TRUE(ledger.Served(2));
    ledger.Exposed(3, {"IMG_0001.JPG", "img_0003.jpg"});
    ledger.Place({"IMG_0001.JPG", "IMG_0002.JPG", "img_0003.jpg"});
    EXPECT_FALSE(ledger.Served(3));

    // Photo 3 comes with a second file of its exposure and then a stray one
    // listed before position 4's command; position 4's photo comes after it.
    ledger.Place({"IMG_0004.JPG", "IMG_0004_1.JPG"});
    ledger.Exposed(4, {"IMG_0005.JPG"});
    ledger.Place({"IMG_0005.JPG", "IMG_0006.JPG"});

    EXPECT_EQ(ledger.Frames(),
              (Names{"IMG_0001.JPG", "img_0003.jpg", "IMG_0004.JPG", "IMG_0006.JPG"}));
    EXPECT_EQ(ledger.SetAside(), (Names{"IMG_0002.JPG", "IMG_0004_1.JPG", "IMG_0005.JPG"}));
    EXPECT_EQ(ledger.Received(), 4);

    // A run stopped before position 6 had its photo: the frames end at the
    // last photo, a position without one keeps its place.
    ledger.Exposed(5, {});
    ledger.Exposed(6, {});
    ledger.Place({"IMG_0007.JPG"});
    EXPECT_EQ(ledger.Frames().size(), 6u);
    EXPECT_EQ(ledger.Frames()[4], "");
    EXPECT_EQ(ledger.Received(), 5);

    // Resumed from a journal: the photos of the positions done in name
    // order, the set-aside ones again aside, and the run goes on from there.
    PhotoLedger resumed;
    resumed.Restore(2, {"IMG_0003.JPG", "IMG_0001.JPG", "IMG_0002.JPG", "IMG_0004.JPG"},
                    {"IMG_0002.JPG"});
    EXPECT_EQ(resumed.Frames(), (Names{"IMG_0001.JPG", "IMG_0003.JPG"}));
    EXPECT_EQ(resumed.SetAside(), (Names{"IMG_0002.JPG", "IMG_0004.JPG"}));
    resumed.Exposed(3, {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG", "IMG_0004.JPG"});
    resumed.Place({"IMG_0005.JPG"});
    EXPECT_TRUE(resumed.Served(3));
}

TEST(PhotoLedger, ByArrivalAMissingPhotoLeavesItsOwnPlaceAndALateOneGoesBackToIt) {
    // A position every 700 ms, each photo seen at the next look, 700 ms
    // after its exposure. Position 3's photo never came, and the camera
    // numbers on without a gap, as one that never fired does; position 5's
    // came two positions late; position 8's after the last command.
    std::int64_t now = 0;
    PhotoLedger ledger([&now] { return now; });
    ledger.ByArrival();
    const auto img = [](int n) { return "IMG_000" + std::to_string(n) + ".JPG"; };
    // What is listed before each position's command, 1 to 8.
    const std::vector<Names> listed{{},
                                    {img(1)},
                                    {img(1), img(2)},
                                    {img(1), img(2)},
                                    {img(1), img(2), img(3)},
                                    {img(1), img(2), img(3)},
                                    {img(1), img(2), img(3), img(5)},
                                    {img(1), img(2), img(3), img(4), img(5), img(6)}};
    for (int position = 1; position <= 8; ++position) {
        ledger.Exposed(position, listed[static_cast<std::size_t>(position) - 1]);
        now += 700;
    }
    ledger.Place({img(1), img(2), img(3), img(4), img(5), img(6), img(7)});
    EXPECT_EQ(ledger.Frames(), (Names{img(1), img(2), "", img(3), img(4), img(5), img(6), img(7)}));
    EXPECT_TRUE(ledger.SetAside().empty());
    EXPECT_EQ(ledger.Received(), 7);
    EXPECT_EQ(
        MissingFrameLines(ledger.Frames(), 8, 8),
        std::vector<std::string>{"Photo 3 of 8 did not come from the camera: 3.jpg is missing"});

    // A camera slower than the table, each photo seen two positions after
    // its exposure, position 3's missing: its place stays empty all the same.
    now = 0;
    PhotoLedger slow([&now] { return now; });
    slow.ByArrival();
    const std::vector<Names> arriving{{}, {}, {img(1)}, {img(2)}, {}, {img(3)}, {img(4)}, {img(5)}};
    Names soFar;
    for (int look = 1; look <= 8; ++look) {
        const Names& more = arriving[static_cast<std::size_t>(look) - 1];
        soFar.insert(soFar.end(), more.begin(), more.end());
        if (look <= 6) {
            slow.Exposed(look, soFar);
        } else {
            slow.Place(soFar);  // the looks at the end of the run
        }
        now += 700;
    }
    EXPECT_EQ(slow.Frames(), (Names{img(1), img(2), "", img(3), img(4), img(5)}));
    EXPECT_TRUE(slow.SetAside().empty());

    // Every photo in its place and a second file of one exposure: set aside.
    PhotoLedger whole([&now] { return now; });
    whole.ByArrival();
    whole.Exposed(1, {});
    whole.Exposed(2, {img(1)});
    whole.Place({img(1), img(2), "IMG_0002_1.JPG"});
    EXPECT_EQ(whole.Frames(), (Names{img(1), img(2)}));
    EXPECT_EQ(whole.SetAside(), Names{"IMG_0002_1.JPG"});
    // The camera gone from photo 2 on: the positions after it are named as
    // one run.
    EXPECT_EQ(MissingFrameLines({img(1)}, 30, 30),
              std::vector<std::string>{"Photos 2 to 30 of 30 did not come from the camera: "
                                       "2.jpg to 30.jpg are missing"});
}
