#include "browse/download_session.h"

#include <gtest/gtest.h>

#include <set>

namespace pluvik {
namespace {

using A = DownloadAction;

class DownloadSessionTest : public ::testing::Test {
protected:
    std::set<std::string> m_files;
    DownloadSession m_session{[this](const std::string& path) { return m_files.count(path) > 0; }};

    // A download accepted and chosen as `/to/NAME`.
    void choose(std::uint32_t id, const std::string& name) {
        m_session.requested(id, name, "/dl");
        m_session.answered(id, "/to/" + name, false);
    }
};

TEST_F(DownloadSessionTest, AcceptsAtOnceAsksAfterAndRefusesWhileAsking) {
    m_files = {"/dl/a.zip"};
    EXPECT_EQ(
        m_session.requested(1, "../a.zip", "/dl"),
        (DownloadSteps{{A::Accept, 1, "/dl/a (2).zip.part", {}, {}}, {A::Ask, 1, "/dl/a (2).zip", {}, {}}}));
    EXPECT_EQ(m_session.requested(2, "b.zip", "/dl"), (DownloadSteps{{A::Refuse, 2, {}, {}, {}}}));
    // Another request for the first: the engine retries it into the same partial file.
    EXPECT_EQ(m_session.requested(1, "a.zip", "/dl"),
              (DownloadSteps{{A::Retry, 1, "/dl/a (2).zip.part", {}, {}}}));
    EXPECT_EQ(m_session.answered(1, "/to/a.zip", false),
              (DownloadSteps{{A::Chosen, 1, "/dl/a (2).zip.part", "/to/a.zip", {}}}));
    // The dialog is closed: the next one is asked, into a partial name the first does not hold.
    m_files.insert("/dl/b.zip.part.download");
    EXPECT_EQ(m_session.requested(3, "b.zip", "/dl")[0],
              (DownloadStep{A::Accept, 3, "/dl/b.zip (2).part", {}, {}}));
    m_session.answered(3, "/dl/b.zip", false);
    // Where a running download will land counts as taken.
    EXPECT_EQ(m_session.requested(4, "b.zip", "/dl")[1], (DownloadStep{A::Ask, 4, "/dl/b (2).zip", {}, {}}));
}

TEST_F(DownloadSessionTest, NoAnswerAnEmptyOneOrAFolderDeclines) {
    for (const auto& [answer, folder] :
         {std::pair{std::optional<std::string>(), false}, std::pair{std::optional<std::string>(""), false},
          std::pair{std::optional<std::string>("/to"), true}}) {
        m_session.requested(4, "x", "/dl");
        EXPECT_EQ(m_session.answered(4, answer, folder),
                  (DownloadSteps{{A::Decline, 4, "/dl/x.part", {}, {}}}));
        EXPECT_FALSE(m_session.running(4));
        EXPECT_FALSE(m_session.asking());
    }
}

TEST_F(DownloadSessionTest, AnEndWaitsForTheAnswerAndARetryClearsIt) {
    m_session.requested(5, "x", "/dl");
    EXPECT_EQ(m_session.ended(5, DownloadEnd::Interrupted, "网络出错"), DownloadSteps{});
    m_session.requested(5, "x", "/dl");  // retried: that failure is over
    EXPECT_EQ(m_session.answered(5, "/to/y", false),
              (DownloadSteps{{A::Chosen, 5, "/dl/x.part", "/to/y", {}}}));
    EXPECT_EQ(m_session.ended(5, DownloadEnd::Completed),
              (DownloadSteps{{A::Rename, 5, "/dl/x.part", "/to/y", {}}}));
    EXPECT_EQ(m_session.moved(5, MoveOutcome::Done), (DownloadSteps{{A::Finished, 5, {}, "/to/y", {}}}));
    // Ended while the dialog was up: the answer brings the end's steps.
    m_session.requested(12, "z", "/dl");
    m_session.ended(12, DownloadEnd::Completed);
    EXPECT_EQ(m_session.answered(12, "/to/z", false),
              (DownloadSteps{{A::Chosen, 12, "/dl/z.part", "/to/z", {}},
                             {A::Rename, 12, "/dl/z.part", "/to/z", {}}}));
    m_session.moved(12, MoveOutcome::Done);
    EXPECT_FALSE(m_session.running(5));

    choose(6, "c");
    EXPECT_EQ(m_session.ended(6, DownloadEnd::Interrupted, "网络出错"),
              (DownloadSteps{{A::Failed, 6, "/dl/c.part", "/to/c", "网络出错"}}));
    choose(7, "d");
    EXPECT_EQ(m_session.ended(7, DownloadEnd::Cancelled),
              (DownloadSteps{{A::Cancelled, 7, "/dl/d.part", "/to/d", {}}}));
    choose(8, "e");
    EXPECT_EQ(m_session.exiting(), (DownloadSteps{{A::Abandon, 8, "/dl/e.part", "/to/e", {}}}));
}

TEST_F(DownloadSessionTest, AnotherDiskIsReachedByACopyBesideTheFinalName) {
    choose(9, "f");
    m_session.ended(9, DownloadEnd::Completed);
    m_files.insert("/to/f.part");
    EXPECT_EQ(m_session.moved(9, MoveOutcome::OtherDisk, "cross"),
              (DownloadSteps{{A::Copy, 9, "/dl/f.part", "/to/f (2).part", {}}}));
    EXPECT_EQ(m_session.copied(9, true), (DownloadSteps{{A::Remove, 9, "/dl/f.part", {}, {}},
                                                        {A::Rename, 9, "/to/f (2).part", "/to/f", {}}}));
    // The copy is whole; should its rename fail, it stays.
    EXPECT_EQ(m_session.moved(9, MoveOutcome::OtherDisk, "busy"),
              (DownloadSteps{{A::Kept, 9, "/to/f (2).part", "/to/f", "busy"}}));

    choose(10, "g");
    m_session.ended(10, DownloadEnd::Completed);
    m_session.moved(10, MoveOutcome::OtherDisk, "cross");
    EXPECT_EQ(m_session.copied(10, false), (DownloadSteps{{A::Remove, 10, "/to/g.part", {}, {}},
                                                          {A::Kept, 10, "/dl/g.part", "/to/g", "cross"}}));
    choose(11, "h");
    m_session.ended(11, DownloadEnd::Completed);
    EXPECT_EQ(m_session.moved(11, MoveOutcome::Failed, "denied"),
              (DownloadSteps{{A::Kept, 11, "/dl/h.part", "/to/h", "denied"}}));
    EXPECT_FALSE(m_session.running(11));
}

}  // namespace
}  // namespace pluvik
