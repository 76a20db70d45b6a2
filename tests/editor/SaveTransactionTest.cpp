// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "CircuitCopy.h"
#include "FuzzInputs.h"
#include "LevelDirectory.h"
#include "LevelDocument.h"

namespace vornak::editor {
namespace {

using vornak::testing::LevelDirectory;
using vornak::testing::ReadBytes;

bool Mentions(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::vector<std::string> NamesAsked(const LevelDocument::SavePlan& plan) {
    std::vector<std::string> names;
    for (const auto& question : plan.questions) {
        names.push_back(question.name);
    }
    return names;
}

class SaveTransactionTest : public ::testing::Test {
  protected:
    SaveTransactionTest() { document.Open(level.Path()); }

    vornak::testing::CircuitCopy level;
    LevelDocument document;
};

// Another program's work is named in the question; what it writes while the question is open,
// while the new files are written, or between the renames stops the save before that file is
// replaced, and the next plan names it too.
TEST_F(SaveTransactionTest, AChangeAtAnyStepStopsTheSaveBeforeItIsLost) {
    document.SetWall(21, true);
    level.Write("TilesMap.txt", level.Read("TilesMap.txt") + "x");  // before the question
    LevelDocument::SavePlan plan = document.PlanSave(level.Path());
    EXPECT_EQ(NamesAsked(plan), std::vector<std::string>{"TilesMap.txt"});

    level.Write("Cars.txt", "by another program");  // while the question is open
    std::string failure = document.CommitSave(plan);
    EXPECT_TRUE(Mentions(failure, "Cars.txt changed on disk")) << failure;
    EXPECT_EQ(document.ChangedInSave(), std::vector<std::string>{"Cars.txt"});
    EXPECT_EQ(level.Read("Cars.txt"), "by another program");
    EXPECT_NE(ReadBytes(level / "BlocksMap.txt")[21], '#') << "nothing is replaced";
    plan = document.PlanSave(level.Path());
    EXPECT_EQ(NamesAsked(plan), (std::vector<std::string>{"TilesMap.txt", "Cars.txt"}));

    int writes = 0;  // between the writes
    const auto writeAndMeddle = [&](int descriptor, const void* bytes, std::size_t size) {
        if (++writes == 1) {
            level.Write("BlocksMap.txt", "meddled");
        }
        return static_cast<long>(::write(descriptor, bytes, size));
    };
    failure = document.CommitSave(plan, writeAndMeddle);
    EXPECT_EQ(document.ChangedInSave(), std::vector<std::string>{"BlocksMap.txt"}) << failure;
    EXPECT_EQ(level.Read("BlocksMap.txt"), "meddled");

    plan = document.PlanSave(level.Path());
    int renames = 0;  // before the renames: the second target changes after the first is in
    const auto renameAndMeddle = [&](const std::filesystem::path& from,
                                     const std::filesystem::path& to) {
        if (++renames == 1) {
            level.Write("Cars.txt", "again");
        }
        return std::rename(from.c_str(), to.c_str());
    };
    failure = document.CommitSave(plan, {}, renameAndMeddle);
    EXPECT_TRUE(Mentions(failure, "Cars.txt changed on disk")) << failure;
    EXPECT_TRUE(Mentions(
        failure, "already saved: TilesMap.txt and BlocksMap.txt; still as they were: Cars.txt"))
        << failure;
    EXPECT_EQ(level.Read("Cars.txt"), "again");
    EXPECT_TRUE(document.IsModified()) << "a save that stopped is no save";

    plan = document.PlanSave(level.Path());
    ASSERT_EQ(document.CommitSave(plan), "");
    EXPECT_EQ(ReadBytes(level / "BlocksMap.txt")[22], '#');
    EXPECT_FALSE(document.IsModified());
}

// A save into another folder takes every picture as it is on disk now, and names one that
// changed there since the editor read it, or that is gone (then the editor's copy is saved). It
// names the other level's files it would keep, and removes them only when asked to.
TEST_F(SaveTransactionTest, SaveAsTakesThePicturesAsTheyAreAndNamesWhatItWouldKeep) {
    level.Write("Tileb.bmp", "repainted in a paint program");
    const std::string grass = level.Read("Tileg.bmp");
    std::filesystem::remove(level / "Tileg.bmp");
    std::filesystem::remove(level / "Cars.txt");
    document.Open(level.Path());  // a level without Cars.txt
    level.Write("Tileb.bmp", "painted again");
    LevelDirectory other;
    other.Write("Cars.txt", "another level's cars");
    other.Write("Tileq.bmp", "another level's tile");
    other.Write("readme.txt", "not a level's file");
    LevelDocument::SavePlan plan = document.PlanSave(other.Path());
    EXPECT_EQ(NamesAsked(plan), std::vector<std::string>{"Tileb.bmp"});
    ASSERT_EQ(plan.extras.size(), 2U);
    EXPECT_EQ(plan.extras[0].name + plan.extras[1].name, "Cars.txtTileq.bmp");
    ASSERT_EQ(document.CommitSave(plan), "");
    EXPECT_EQ(other.Read("Tileb.bmp"), "painted again");
    EXPECT_EQ(other.Read("Cars.txt"), "another level's cars") << "kept, as the maker chose";
    LevelDirectory play;  // playing takes a picture as the disk has it now, too
    other.Write("Tileb.bmp", "painted a third time");
    ASSERT_EQ(document.WriteSnapshot(play.Path()), "");
    EXPECT_EQ(play.Read("Tileb.bmp"), "painted a third time");

    document.Open(level.Path());
    std::filesystem::remove_all(level.Path());  // the level's folder is deleted
    LevelDirectory fresh;
    plan = document.PlanSave(fresh.Path());
    EXPECT_EQ(plan.questions.size(), document.PictureNames().size())
        << "every picture the save would lose is named";
    plan.removeExtras = true;
    ASSERT_EQ(document.CommitSave(plan), "");
    EXPECT_EQ(fresh.Read("Tileb.bmp"), "painted again") << "from the editor's copy";
    EXPECT_FALSE(std::filesystem::exists(fresh / "Tileg.bmp"));

    other.Write("Tileg.bmp", grass);
    plan = document.PlanSave(other.Path());
    plan.removeExtras = true;
    EXPECT_EQ(plan.extras.size(), 3U);
    ASSERT_EQ(document.CommitSave(plan), "");
    EXPECT_FALSE(std::filesystem::exists(other / "Cars.txt"));
    EXPECT_FALSE(std::filesystem::exists(other / "Tileq.bmp"));
    EXPECT_TRUE(std::filesystem::exists(other / "readme.txt"));
}

// A folder that took the level's name after the level's own was moved away is named; one that
// is simply gone refuses Ctrl+S rather than make a level of three text files.
TEST_F(SaveTransactionTest, AFolderThatIsNoLongerTheLevelsIsNamed) {
    LevelDirectory away;
    std::filesystem::rename(level.Path(), away / "moved");
    EXPECT_TRUE(Mentions(document.PlanSave(level.Path()).refusal, "is gone"));
    std::filesystem::create_directory(level.Path());
    const LevelDocument::SavePlan plan = document.PlanSave(level.Path());
    ASSERT_FALSE(plan.questions.empty());
    EXPECT_EQ(plan.questions[0].name, level.Path().string());
    EXPECT_TRUE(Mentions(plan.questions[0].why, "no longer the folder the editor opened"));
}

// Import, save, repaint outside, import again and save over the repaint, undo, save: the undo
// brings back the repainted picture, which is what that save replaced.
TEST_F(SaveTransactionTest, UndoAfterASaveBringsBackWhatThatSaveReplaced) {
    ASSERT_EQ(document.AddPictures({{"Tilex.bmp", "first import"}}, "Import"), "");
    ASSERT_EQ(document.Save(level.Path()), "");
    level.Write("Tilex.bmp", "painted by hand");
    ASSERT_EQ(document.AddPictures({{"Tilex.bmp", "second import"}}, "Import"), "");
    EXPECT_EQ(document.FilesSaveWouldReplace(level.Path()), std::vector<std::string>{"Tilex.bmp"});
    ASSERT_EQ(document.Save(level.Path()), "");
    document.UndoStack().undo();
    ASSERT_EQ(document.Save(level.Path()), "");
    EXPECT_EQ(level.Read("Tilex.bmp"), "painted by hand");
}

// A picture the editor cannot read could never come back by undo; an import over it is refused.
TEST_F(SaveTransactionTest, AnImportOverAPictureTheEditorCannotReadIsRefused) {
    ASSERT_EQ(::truncate((level / "Tileg.bmp").c_str(), 65 * 1024 * 1024), 0);
    const std::string refusal = document.AddPictures({{"Tileg.bmp", "new grass"}}, "Import");
    EXPECT_TRUE(Mentions(refusal, "cannot read")) << refusal;
    EXPECT_EQ(document.UndoStack().count(), 0);
    EXPECT_EQ(std::filesystem::file_size(level / "Tileg.bmp"), 65U * 1024 * 1024);

    // A level file grown past what the editor reads is there all the same, and is named.
    document.SetWall(21, true);
    ASSERT_EQ(::truncate((level / "Cars.txt").c_str(), 65 * 1024 * 1024), 0);
    const LevelDocument::SavePlan plan = document.PlanSave(level.Path());
    ASSERT_EQ(NamesAsked(plan), std::vector<std::string>{"Cars.txt"});
    EXPECT_TRUE(Mentions(plan.questions[0].why, "cannot read")) << plan.questions[0].why;
}

// Two tiles whose names differ only in case are one file on a disk that folds case: the save
// there is refused, naming both, and only there.
TEST_F(SaveTransactionTest, TwoNamesForOneFileAreRefused) {
    ASSERT_EQ(document.AddPictures({{"TileA.bmp", "upper"}, {"Tilea.bmp", "lower"}}, "Import"), "");
    LevelDirectory other;
    const auto folds = [](const std::filesystem::path& /*folder*/) { return true; };
    const std::string refusal = document.PlanSave(other.Path(), folds).refusal;
    EXPECT_TRUE(Mentions(refusal, "TileA.bmp and Tilea.bmp differ only in case")) << refusal;
    EXPECT_EQ(document.PlanSave(other.Path()).refusal, "") << "this disk tells them apart";
}

// On FAT, through FUSE, the folder itself shows that it folds case, and a save works although
// the system keeps no permissions.
TEST_F(SaveTransactionTest, OnAFatDisk) {
    if (::access("/dev/fuse", R_OK | W_OK) != 0 || std::system("command -v fusefat >/dev/null") ||
        std::system("command -v mkfs.fat >/dev/null")) {
        GTEST_SKIP() << "needs /dev/fuse, fusefat and mkfs.fat";
    }
    LevelDirectory scratch;
    const std::filesystem::path image = scratch / "fat.img";
    const std::filesystem::path mount = scratch / "mount";
    std::filesystem::create_directory(mount);
    ASSERT_EQ(std::system(("mkfs.fat -C " + image.string() + " 4096 >/dev/null").c_str()), 0);
    if (std::system(("fusefat -o rw+ " + image.string() + " " + mount.string()).c_str()) != 0) {
        GTEST_SKIP() << "fusefat cannot mount here";
    }
    struct Unmount {
        std::filesystem::path at;
        ~Unmount() { std::system(("fusermount -u " + at.string() + " 2>/dev/null").c_str()); }
    } unmount{mount};
    const std::filesystem::path target = mount / "level";
    std::filesystem::create_directory(target);
    ASSERT_EQ(document.Save(target), "");
    EXPECT_EQ(ReadBytes(target / "Cars.txt"), level.Read("Cars.txt"));
    ASSERT_EQ(document.AddPictures({{"TileA.bmp", "upper"}, {"Tilea.bmp", "lower"}}, "Import"), "");
    EXPECT_TRUE(Mentions(document.PlanSave(target).refusal, "differ only in case"));
    document.UndoStack().undo();
    ASSERT_EQ(document.AddPictures({{"Tilea.bmp", "lower"}}, "Import"), "");
    ASSERT_EQ(document.Save(target), "");
    document.Open(target);  // an import beside a picture the level has there already
    ASSERT_EQ(document.AddPictures({{"TileA.bmp", "upper"}}, "Import"), "");
    EXPECT_TRUE(Mentions(document.PlanSave(target).refusal, "differ only in case"));
    EXPECT_EQ(ReadBytes(target / "Tilea.bmp"), "lower");
}

// What this user may not write is refused, as a read-only file is; root keeps a file's owner;
// a file with a second name is refused, naming it.
TEST(FileReplacementRights, OwnersAndLinksAreKept) {
    LevelDirectory folder;
    folder.Write("BlocksMap.txt", "root's");
    if (::geteuid() == 0) {
        ::chmod(folder.Path().c_str(), 0777);
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
                std::_Exit(2);
            }
            FileReplacement replacement;
            replacement.Add(folder / "BlocksMap.txt", "nobody's");
            std::_Exit(Mentions(replacement.Commit(), "read-only for you") ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        EXPECT_EQ(folder.Read("BlocksMap.txt"), "root's");

        ASSERT_EQ(::chown((folder / "BlocksMap.txt").c_str(), 65534, 65534), 0);
        FileReplacement replacement;
        replacement.Add(folder / "BlocksMap.txt", "saved by root");
        ASSERT_EQ(replacement.Commit(), "");
        struct stat saved {};
        ::stat((folder / "BlocksMap.txt").c_str(), &saved);
        EXPECT_EQ(saved.st_uid, 65534U);
        EXPECT_EQ(saved.st_gid, 65534U);
    }
    std::filesystem::create_hard_link(folder / "BlocksMap.txt", folder / "backup.txt");
    FileReplacement replacement;
    replacement.Add(folder / "BlocksMap.txt", "would part the names");
    EXPECT_TRUE(Mentions(replacement.Commit(), "has 2 names")) << "hard link";
    EXPECT_EQ(folder.Read("backup.txt"), folder.Read("BlocksMap.txt"));
}

// Temporary files have names of their own; those a killed save left over an hour ago go at the
// next open, unless another editor holds the level. A maker's own dot files stay.
TEST_F(SaveTransactionTest, LeftoverTemporaryFilesGoOnlyWhenNobodyElseHoldsTheLevel) {
    const auto age = [this](const char* name, int hours) {
        level.Write(name, "left");
        const auto then = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now() -
                                                               std::chrono::hours(hours));
        const timespec times[2] = {{then, 0}, {then, 0}};
        ::utimensat(AT_FDCWD, (level / name).c_str(), times, 0);
    };
    age(".BlocksMap.txt.vornak-save-3RUeWy", 2);
    age(".BlocksMap.txt.backup", 2);
    age(".Cars.txt.vornak-save-a1b2c3", 0);
    {
        LevelDocument other;
        other.Open(level.Path());  // this test's document holds the level too
        EXPECT_TRUE(std::filesystem::exists(level / ".BlocksMap.txt.vornak-save-3RUeWy"));
    }
    document.StartNew(level.Path());
    document.Open(level.Path());
    EXPECT_FALSE(std::filesystem::exists(level / ".BlocksMap.txt.vornak-save-3RUeWy"));
    EXPECT_TRUE(std::filesystem::exists(level / ".BlocksMap.txt.backup"));
    EXPECT_TRUE(std::filesystem::exists(level / ".Cars.txt.vornak-save-a1b2c3")) << "too young";
    for (const auto& entry : std::filesystem::directory_iterator(level.Path())) {
        EXPECT_FALSE(Mentions(entry.path().filename().string(), ".lock"));
    }
}

}  // namespace
}  // namespace vornak::editor
