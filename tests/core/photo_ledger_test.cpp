#include "core/photos/photo_ledger.h"

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
