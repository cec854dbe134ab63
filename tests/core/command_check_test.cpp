#include "core/process/command_check.h"

#include <gtest/gtest.h>

using namespace zentrivo;

using Commands = std::vector<std::string>;

TEST(ValidateCommand, RefusalsInOrder) {
    EXPECT_EQ(ValidateCommand("t0001."), "Command not supported !");
    EXPECT_EQ(ValidateCommand("X0001."), "Command not supported !");
    EXPECT_EQ(ValidateCommand("T00011"), "Command must end with a dot !");
    for (const char* text : {"T0001", "T0001..", "", "X.", "L12000."}) {
        EXPECT_EQ(ValidateCommand(text), "Command length must be 5 characters long !") << text;
    }
    // Length before letter, letter before dot, dot before digits.
    EXPECT_EQ(ValidateCommand("x00011"), "Command not supported !");
    EXPECT_EQ(ValidateCommand("Tabcd1"), "Command must end with a dot !");
    for (const char* text : {"Tabcd.", "T-001.", "T 001.", "L00x0.", "R+400."}) {
        EXPECT_EQ(ValidateCommand(text),
                  "Command must have 4 digits between the letter and the dot !")
            << text;
    }
}

TEST(ValidateCommand, AcceptsEveryLetter) {
    for (const char* text :
         {"T0001.", "D0005.", "F2000.", "L0040.", "R0080.", "P0050.", "W0050."}) {
        EXPECT_FALSE(ValidateCommand(text)) << text;
    }
}

TEST(ValidateCommand, CountsCharactersNotBytes) {
    // Five characters, six bytes in UTF-8.
    EXPECT_EQ(ValidateCommand("T0č1."), "Command length must be 5 characters long !");
    EXPECT_EQ(ValidateCommand("T0čč1."),
              "Command must have 4 digits between the letter and the dot !");
}

TEST(CommandList, MovesStopAtTheEnds) {
    Commands c{"A", "B", "C"};
    EXPECT_EQ(MoveCommandUp(c, 0), 0);
    EXPECT_EQ(MoveCommandDown(c, 2), 2);
    EXPECT_EQ(c, (Commands{"A", "B", "C"}));
    EXPECT_EQ(MoveCommandUp(c, 2), 1);
    EXPECT_EQ(c, (Commands{"A", "C", "B"}));
    EXPECT_EQ(MoveCommandDown(c, 0), 1);
    EXPECT_EQ(c, (Commands{"C", "A", "B"}));
    // Nothing selected, or a single command: nothing moves.
    EXPECT_EQ(MoveCommandUp(c, -1), -1);
    EXPECT_EQ(MoveCommandDown(c, -1), -1);
    EXPECT_EQ(c, (Commands{"C", "A", "B"}));
    Commands one{"A"};
    EXPECT_EQ(MoveCommandUp(one, 0), 0);
    EXPECT_EQ(MoveCommandDown(one, 0), 0);
}

TEST(CommandList, DeleteReselects) {
    Commands c{"A", "B", "C"};
    EXPECT_EQ(DeleteCommand(c, 1), 1);  // the command that followed
    EXPECT_EQ(c, (Commands{"A", "C"}));
    EXPECT_EQ(DeleteCommand(c, 1), 0);  // the new last one
    EXPECT_EQ(c, (Commands{"A"}));
    EXPECT_EQ(DeleteCommand(c, 0), -1);  // the only one
    EXPECT_TRUE(c.empty());
    EXPECT_EQ(CommandCountText(c.size()), "Number of commands: 0");
    EXPECT_EQ(DeleteCommand(c, 0), -1);
    Commands d{"A"};
    EXPECT_EQ(DeleteCommand(d, -1), -1);
    EXPECT_EQ(DeleteCommand(d, 5), -1);
    EXPECT_EQ(d, (Commands{"A"}));
}

TEST(CommandList, ReplaceNeedsASelectionBeforeAnyCheck) {
    Commands c{"T0001.", "D0005."};
    auto edit = ReplaceCommand(c, -1, "bad");
    EXPECT_EQ(edit.selected, -1);
    EXPECT_FALSE(edit.refusal);
    edit = ReplaceCommand(c, 1, "D005.");
    EXPECT_EQ(edit.selected, 1);
    EXPECT_EQ(edit.refusal, "Command length must be 5 characters long !");
    EXPECT_EQ(c, (Commands{"T0001.", "D0005."}));
    edit = ReplaceCommand(c, 1, "D0010.");
    EXPECT_EQ(edit.selected, 1);
    EXPECT_FALSE(edit.refusal);
    EXPECT_EQ(c, (Commands{"T0001.", "D0010."}));
}

TEST(CommandList, AddChecksWhateverIsSelected) {
    Commands c;
    auto edit = AddCommand(c, -1, "t0001.");
    EXPECT_EQ(edit.refusal, "Command not supported !");
    EXPECT_EQ(edit.selected, -1);
    EXPECT_TRUE(c.empty());
    edit = AddCommand(c, -1, "T0001.");
    EXPECT_FALSE(edit.refusal);
    EXPECT_EQ(edit.selected, 0);
    edit = AddCommand(c, 0, "F2000.");
    EXPECT_EQ(edit.selected, 1);
    EXPECT_EQ(c, (Commands{"T0001.", "F2000."}));
    edit = AddCommand(c, 0, "F2000");
    EXPECT_EQ(edit.selected, 0);
    EXPECT_EQ(c.size(), 2u);
}

TEST(CommandList, DoubleClickCopiesOnlyASelectedCommand) {
    const Commands c{"T0001.", "L12000."};
    EXPECT_EQ(CommandToEdit(c, 1), "L12000.");
    EXPECT_FALSE(CommandToEdit(c, -1));
    EXPECT_FALSE(CommandToEdit({}, 0));
}
