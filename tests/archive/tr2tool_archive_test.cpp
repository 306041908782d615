// tr2tool's archive commands, run as a program: pack, unpack, list, check and cat.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/archive/reference_archive.h"
#include "tests/support/test_files.h"
#include "tests/support/tool_run.h"
#include "tools/writers/archive_writer.h"

namespace {
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

Bytes bytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes randomBytes(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(size);
    for (auto& x : b) x = uint8_t(rng());
    return b;
}

uint32_t get32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

void put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

class Tr2tool : public ::testing::Test {
protected:
    fs::path folder = freshTestFolder();
    void write(const fs::path& name, const Bytes& data) {
        fs::create_directories((folder / name).parent_path());
        writeBytes(folder / name, data.data(), data.size());
    }
    ToolRun run(const std::vector<std::string>& args) { return runTool(folder, args); }
};

std::vector<std::pair<std::string, Bytes>> sampleFiles() {
    std::string script;
    for (int i = 0; i < 400; ++i) script += "@message " + std::to_string(i % 37) + " hello\r\n";
    Bytes model;
    for (int i = 0; i < 3000; ++i) {
        const float f = float(i % 50) * 0.25f;
        const uint8_t* p = reinterpret_cast<const uint8_t*>(&f);
        model.insert(model.end(), p, p + 4);
    }
    return {{"script.txt", bytes(script)},
            {"noise.bin", randomBytes(3000, 1)},
            {"zeros.dat", Bytes(10000, 0)},
            {"empty.txt", {}},
            {"one.txt", {'1'}},
            {"model.tmb", model}};
}

TEST_F(Tr2tool, PackedArchivesReadWithAPlainReader) {
    std::string description = "TYPE=demo\nNAME=" + sjis("デモ") + "\n";
    std::vector<std::string> args = {"pack", "out.tr2", "desc.txt"};
    for (const auto& [name, data] : sampleFiles()) {
        write("in/" + name, data);
        description += "FILE_" + std::to_string(args.size()) + "=" + name + "\n";
        args.push_back("in/" + name);
    }
    write("desc.txt", bytes(description));
    const ToolRun packed = run(args);
    ASSERT_EQ(packed.code, 0) << packed.err;
    EXPECT_EQ(packed.err, "");

    const Bytes archive = readBytes(folder / "out.tr2");
    EXPECT_EQ(reference::readDescription(archive), bytes(description));
    for (const auto& [name, data] : sampleFiles()) {
        EXPECT_EQ(reference::readMember(archive, name), data) << name;
    }
    // Entries 1.. in file order: compressed text, raw noise.
    const size_t script = 16 + 48, noise = 16 + 96;
    EXPECT_LT(get32(archive, script + 36), get32(archive, script + 40) / 3);
    EXPECT_EQ(get32(archive, noise + 36), get32(archive, noise + 40));
}

TEST_F(Tr2tool, UnpackReproducesAnotherWritersArchive) {
    using reference::Stream;
    const Bytes lzssLooking = Stream().reference(4078, 18).literals("not lzss").bytes();
    const std::vector<std::pair<reference::Entry, Bytes>> members = {
        {reference::rawEntry("raw.bin", randomBytes(500, 2)), randomBytes(500, 2)},
        {reference::rawEntry("looks.lzs", lzssLooking), lzssLooking},
        {reference::rawEntry("empty", {}), {}},
        {reference::lzssEntry("run.txt", Stream().literals("ab").reference(4078, 18).bytes(), 20),
         bytes("abababababababababab")},
        {reference::lzssEntry(
             "Zeros.Dat", Stream().literal('z').reference(7, 18).reference(4000, 3).bytes(), 22),
         bytes(std::string("z") + std::string(21, '\0'))},
        {reference::lzssEntry("cut.txt", Stream().literals("abc").reference(4078, 18).bytes(), 10),
         bytes("abcabcabca")},
    };
    std::vector<reference::Entry> entries;
    for (const auto& m : members) entries.push_back(m.first);
    const Bytes description = bytes("TYPE=ref\nFILE_0=raw.bin\n");
    write("ref.tr2",
          reference::buildArchive(
              reference::lzssEntry(
                  "", Stream().literals("TYPE=ref\nFILE_0=raw.bin\n").literal('\n').bytes(),
                  uint32_t(description.size())),
              entries));

    const ToolRun unpacked = run({"unpack", "ref.tr2", "out"});
    ASSERT_EQ(unpacked.code, 0) << unpacked.err;
    EXPECT_EQ(readBytes(folder / "out/KEYVALUE"), description);
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder / "out")) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, members.size() + 1);
    for (const auto& [entry, expected] : members)
        EXPECT_EQ(readBytes(folder / "out" / entry.name), expected) << entry.name;
}

TEST_F(Tr2tool, PackOfUnpackedFilesGivesTheSameArchive) {
    std::vector<std::string> args = {"pack", "first.tr2", "desc.txt"};
    std::string description = "NAME=x\n";
    for (const auto& [name, data] : sampleFiles()) {
        write(name, data);
        description += "ICON_" + name + "=" + name + "\n";
        args.push_back(name);
    }
    write("desc.txt", bytes(description));
    ASSERT_EQ(run(args).code, 0);
    ASSERT_EQ(run({"unpack", "first.tr2", "out"}).code, 0);
    args = {"pack", "second.tr2", "out/KEYVALUE"};
    for (const auto& [name, data] : sampleFiles()) args.push_back("out/" + name);
    ASSERT_EQ(run(args).code, 0);
    EXPECT_EQ(readBytes(folder / "first.tr2"), readBytes(folder / "second.tr2"));
}

// Names on disk are UTF-8 and become Shift-JIS inside; --utf8 converts the description too.
TEST_F(Tr2tool, JapaneseNamesAndUtf8Descriptions) {
    write("服.tmb", bytes("cloth"));
    write("desc.txt", bytes("NAME=青いドレス\nFILE_0=服.tmb\n"));
    ASSERT_EQ(run({"pack", "--utf8", "out.tr2", "desc.txt", "服.tmb"}).code, 0);
    const Bytes archive = readBytes(folder / "out.tr2");
    EXPECT_EQ(reference::readDescription(archive), bytes(sjis("NAME=青いドレス\nFILE_0=服.tmb\n")));
    EXPECT_EQ(reference::readMember(archive, sjis("服.tmb")), bytes("cloth"));
    ASSERT_EQ(run({"unpack", "out.tr2", "out"}).code, 0);
    EXPECT_EQ(readBytes(folder / "out/服.tmb"), bytes("cloth"));
    EXPECT_EQ(readBytes(folder / "out/KEYVALUE"), bytes(sjis("NAME=青いドレス\nFILE_0=服.tmb\n")));
    // Without --utf8 the description is stored as it is, and its UTF-8 name no longer lists
    // the Shift-JIS member.
    EXPECT_EQ(run({"pack", "raw.tr2", "desc.txt", "服.tmb"}).code, 2);
    ASSERT_EQ(run({"pack", "--allow-unlisted", "raw.tr2", "desc.txt", "服.tmb"}).code, 0);
    EXPECT_EQ(reference::readDescription(readBytes(folder / "raw.tr2")),
              bytes("NAME=青いドレス\nFILE_0=服.tmb\n"));
}

TEST_F(Tr2tool, PackRefusesAndWritesNothing) {
    write("a/x.txt", bytes("1"));
    write("b/X.TXT", bytes("2"));
    write(std::string(31, 'n'), bytes("31"));
    write(std::string(32, 'n'), bytes("32"));
    write("good.txt", bytes("FILE_0=x.txt\n"));
    write("novalue.txt", bytes("FILE_0=x.txt\nTYPE\n"));
    write("emptykey.txt", bytes(" = x\n"));
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"good.txt", "a/x.txt", "b/X.TXT"}, "members 'x.txt' and 'X.TXT' have the same name"},
        {{"good.txt", std::string(32, 'n')}, "longer than 31 bytes"},
        {{"novalue.txt", "a/x.txt"}, "line 2 has no '='"},
        {{"emptykey.txt"}, "line 1 has an empty key"},
        {{"good.txt", "missing.txt"}, "cannot read missing.txt"},
        {{"nodesc.txt", "a/x.txt"}, "cannot read nodesc.txt"},
        {{"good.txt", "a"}, "cannot read a"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"pack", "out.tr2"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ToolRun r = run(args);
        EXPECT_EQ(r.code, 1) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(folder / "out.tr2")) << c.message;
    }
    const ToolRun longest =
        run({"pack", "--allow-unlisted", "out.tr2", "good.txt", "a/x.txt", std::string(31, 'n')});
    EXPECT_EQ(longest.code, 0) << longest.err;
    EXPECT_NE(longest.err.find("warning: '" + std::string(31, 'n') + "' is not listed"),
              std::string::npos);
}

// Members that no key lists can never be found, and an archive of nothing is a slip: both are
// refused unless asked for.
TEST_F(Tr2tool, PackRefusesUnlistedOrNoMembersUnlessAllowed) {
    write("x.txt", bytes("x"));
    write("y.txt", bytes("y"));
    write("desc.txt", bytes("FILE_0=x.txt\n"));
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out, err;
    } cases[] = {
        {{"out.tr2", "desc.txt", "x.txt"}, 0, "out.tr2: 1 member, 14 bytes packed into", ""},
        {{"out.tr2", "desc.txt", "x.txt", "y.txt"},
         2,
         "",
         "tr2tool pack: 'y.txt' is not listed under a FILE_ or ICON_ key\n"
         "tr2tool pack: out.tr2: members that no FILE_ or ICON_ key lists are never found"},
        {{"out.tr2", "desc.txt"}, 2, "", "tr2tool pack: out.tr2: no member files given"},
        {{"--allow-unlisted", "out.tr2", "desc.txt", "x.txt", "y.txt"},
         0,
         "out.tr2: 2 members,",
         "tr2tool pack: warning: 'y.txt' is not listed under a FILE_ or ICON_ key\n"},
        {{"--allow-unlisted", "out.tr2", "desc.txt"},
         0,
         "out.tr2: 0 members,",
         "tr2tool pack: warning: 'x.txt' is listed but not packed\n"},
        {{"--nosuchoption", "out.tr2", "desc.txt", "x.txt"}, 2, "", "usage: tr2tool pack"},
    };
    for (const auto& c : cases) {
        fs::remove(folder / "out.tr2");
        std::vector<std::string> args = {"pack"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ToolRun r = run(args);
        EXPECT_EQ(r.code, c.code) << c.args.back() << r.err;
        EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << r.out;
        EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
        EXPECT_EQ(fs::exists(folder / "out.tr2"), c.code == 0);
    }
}

TEST_F(Tr2tool, ListPrintsPairsThenMembers) {
    const std::vector<ArchiveMember> members = {archiveMember("a.txt", std::string(100, 'a')),
                                                archiveMember(sjis("服.tmb"), "xyz")};
    ASSERT_TRUE(writeArchiveFile(
        folder / "x.tr2",
        "TYPE = costume # a comment\nNAME=" + sjis("青") + "\n" + fileListDescription(members),
        members));
    const ToolRun r = run({"list", "x.tr2"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(
        r.out,
        "TYPE=costume\nNAME=青\nFILE_0=a.txt\nFILE_1=服.tmb\n\na.txt\t14\t100\n服.tmb\t3\t3\n");
}

struct Damage {
    const char* name;
    void (*apply)(Bytes&);
    const char* message;
};

TEST_F(Tr2tool, CheckSaysWhatIsWrong) {
    const std::vector<ArchiveMember> members = {archiveMember("a.txt", std::string(200, 'a')),
                                                archiveMember("b.bin", "bbbb")};
    const Bytes good = writeArchive("FILE_0=a.txt\nICON_0=b.bin\n", members);
    write("good.tr2", good);
    const ToolRun ok = run({"check", "good.tr2"});
    EXPECT_EQ(ok.code, 0) << ok.out;
    EXPECT_EQ(ok.out, "good.tr2: ok\n");

    const Damage damages[] = {
        {"short", [](Bytes& f) { f.resize(40); },
         "not a TR2 archive: the file (40 bytes) is shorter than its header and first entry (64 "
         "bytes)"},
        {"notwhole", [](Bytes& f) { put32(f, 16 + 32, 16 + 48 * 3 + 8); },
         "not a TR2 archive: the directory length 152 is not a multiple of 48"},
        {"cutdirectory", [](Bytes& f) { f.resize(16 + 48 * 2 + 10); },
         "not a TR2 archive: the directory (3 entries) runs past the end of the file"},
        {"offset", [](Bytes& f) { put32(f, 16 + 96 + 32, 100000); },
         "entry 2 'b.bin': data at 100000 of 4 bytes runs past the end"},
        {"stored", [](Bytes& f) { put32(f, 16 + 48 + 36, 0x7FFFFFFF); },
         "entry 1 'a.txt': data at 186 of 2147483647 bytes runs past the end of the file"},
        {"shortstream", [](Bytes& f) { put32(f, 16 + 48 + 40, 210); },
         "entry 1 'a.txt': the LZSS stream gives 200 of its 210 bytes"},
        {"longstream", [](Bytes& f) { put32(f, 16 + 48 + 40, 217); },
         "entry 1 'a.txt': an LZSS stream of 26 bytes cannot give 217 bytes"},
        {"hugeraw",
         [](Bytes& f) {
             put32(f, 16 + 96 + 36, 0xFFFFFFFF);
             put32(f, 16 + 96 + 40, 0xFFFFFFFF);
         },
         "entry 2 'b.bin': data at 212 of 4294967295 bytes runs past the end"},
        {"hugedescription", [](Bytes& f) { put32(f, 16 + 40, 0xFFFFFFFF); },
         "entry 0 (description): an LZSS stream of"},
        {"hugestream", [](Bytes& f) { put32(f, 16 + 48 + 40, 0xFFFFFFFF); },
         "entry 1 'a.txt': an LZSS stream of 26 bytes cannot give 4294967295 bytes"},
        {"unlisted", [](Bytes& f) { f[16 + 48 * 3 + 13] = 'X'; },  // ICON_0 becomes XCON_0
         "member 'b.bin' is not listed under a FILE_ or ICON_ key"},
        {"missing", [](Bytes& f) { f[16 + 96] = 'c'; }, "ICON_0=b.bin is not in the directory"},
        {"twice", [](Bytes& f) { std::memcpy(&f[16 + 96], "A.TXT", 6); },
         "member 'A.TXT' repeats an earlier name"},
        {"description", [](Bytes& f) { f[16 + 48 * 3 + 6] = '#'; },
         "the description does not parse: line 1 has no '='"},
        {"noname", [](Bytes& f) { std::memset(&f[16 + 96], 'n', 32); },
         "entry 2 'nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn': the name has no terminating NUL"},
    };
    std::vector<std::string> all = {"check", "good.tr2"};
    for (const Damage& d : damages) {
        Bytes file = good;
        d.apply(file);
        const std::string name = std::string(d.name) + ".tr2";
        write(name, file);
        all.push_back(name);
        const ToolRun r = run({"check", name});
        EXPECT_EQ(r.code, 1) << d.name;
        EXPECT_NE(r.out.find(name + ": " + d.message), std::string::npos) << d.name << "\n"
                                                                          << r.out;
    }
    all.push_back("absent.tr2");
    const ToolRun r = run(all);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.rfind("good.tr2: ok\n", 0), 0u);
    EXPECT_NE(r.out.find("absent.tr2: cannot read the file"), std::string::npos);
}

TEST_F(Tr2tool, UnpackAndListRefuseMalformedArchives) {
    Bytes file = writeArchive("FILE_0=a\n", {archiveMember("a", "aaaa")});
    put32(file, 16 + 48 + 32, 5000);
    write("bad.tr2", file);
    write("garbage.tr2", bytes("not an archive"));
    // Entry 0 and entry 1 of these claim 4 GiB from a few bytes: refused without allocating.
    Bytes huge = writeArchive("FILE_0=a\n", {archiveMember("a", "aaaa")});
    put32(huge, 16 + 40, 0xFFFFFFFF);
    write("hugedescription.tr2", huge);
    huge = writeArchive("FILE_0=a\n", {archiveMember("a", "aaaa")});
    put32(huge, 16 + 48 + 40, 0xFFFFFFFF);
    write("hugemember.tr2", huge);
    for (const char* command : {"unpack", "list", "check"}) {
        for (const char* archive :
             {"bad.tr2", "garbage.tr2", "absent.tr2", "hugedescription.tr2", "hugemember.tr2"}) {
            std::vector<std::string> args = {command, archive};
            if (std::string(command) == "unpack") args.push_back("out");
            const ToolRun r = run(args);
            EXPECT_EQ(r.code, 1) << command << " " << archive;
            EXPECT_NE((r.err + r.out).find(archive), std::string::npos) << r.err;
            EXPECT_LT(r.seconds, 5.0) << command << " " << archive;
        }
    }
    EXPECT_FALSE(fs::exists(folder / "out"));
}

// Files that are no archive at all get one line that says so and why, whatever they hold.
TEST_F(Tr2tool, ListAndCheckSayNotAnArchiveInOneLine) {
    Bytes noise = randomBytes(60000, 7);
    put32(noise, 16 + 32, 16 + 48 * 100000);  // a directory far past the end
    write("noise.bin", noise);
    Bytes zeros(60000, 0);
    write("zeros.bin", zeros);
    put32(zeros, 16 + 32, 16 + 48 * 2 + 1);
    write("odd.bin", zeros);
    const struct {
        const char* file;
        const char* why;
    } cases[] = {
        {"noise.bin", "the directory (100000 entries) runs past the end of the file (60000 bytes)"},
        {"zeros.bin", "entry 0's data offset 0 lies inside the header or entry 0"},
        {"odd.bin", "the directory length 97 is not a multiple of 48"},
    };
    for (const auto& c : cases) {
        const std::string line = std::string(c.file) + ": not a TR2 archive: " + c.why + "\n";
        const ToolRun check = run({"check", c.file});
        EXPECT_EQ(check.code, 1);
        EXPECT_EQ(check.out, line);
        const ToolRun list = run({"list", c.file});
        EXPECT_EQ(list.code, 1);
        EXPECT_EQ(list.out, "");
        EXPECT_EQ(list.err, line);
        const ToolRun unpack = run({"unpack", c.file, "out"});
        EXPECT_EQ(unpack.code, 1);
        EXPECT_EQ(unpack.err, line);
    }
}

TEST_F(Tr2tool, UnpackSkipsNamesThatLeaveTheFolder) {
    write("evil.tr2", reference::buildArchive(reference::rawEntry("", {}),
                                              {reference::rawEntry("../escape", bytes("x")),
                                               reference::rawEntry("KEYVALUE", bytes("y")),
                                               reference::rawEntry("ok.txt", bytes("ok")),
                                               reference::rawEntry("OK.TXT", bytes("shadowed"))}));
    const ToolRun r = run({"unpack", "evil.tr2", "out"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("'../escape' cannot be a file name"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("'KEYVALUE' cannot be a file name"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("'OK.TXT' repeats an earlier name"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(folder / "escape"));
    EXPECT_EQ(readBytes(folder / "out/ok.txt"), bytes("ok"));
    EXPECT_EQ(readBytes(folder / "out/KEYVALUE"), Bytes{});
}

TEST_F(Tr2tool, UnpackNeverFollowsALinkInTheFolder) {
    write("a.tr2", reference::buildArchive(reference::rawEntry("", bytes("FILE_0=m.txt\n")),
                                           {reference::rawEntry("m.txt", bytes("member"))}));
    fs::create_directories(folder / "out");
    write("victim.txt", bytes("keep"));
    for (const char* name : {"m.txt", "KEYVALUE"}) {
        fs::remove(folder / "out" / name);
        fs::create_symlink(folder / "victim.txt", folder / "out" / name);
        const ToolRun r = run({"unpack", "a.tr2", "out"});
        EXPECT_EQ(r.code, 1) << name;
        EXPECT_NE(r.err.find("is a symbolic link; not followed"), std::string::npos) << r.err;
        EXPECT_EQ(readBytes(folder / "victim.txt"), bytes("keep")) << name;
        EXPECT_TRUE(fs::is_symlink(folder / "out" / name));
    }
}

TEST_F(Tr2tool, CatBehavesAsLoadFile) {
    fs::create_directories(folder / "add-ons");
    const Bytes noise = randomBytes(5000, 3);
    ASSERT_TRUE(
        writeArchiveFile(folder / "add-ons/b.tr2", "FILE_0=n.bin\n", {{"n.bin", Bytes(10, 'b')}}));
    ASSERT_TRUE(writeArchiveFile(folder / "add-ons/a.tr2", "FILE_0=N.BIN\nICON_0=i.psd\n",
                                 {{"n.bin", noise}, archiveMember("i.psd", "icon")}));
    ToolRun r = run({"cat", "n.Bin"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(bytes(r.out), noise);
    EXPECT_EQ(run({"cat", "i.psd"}).out, "icon");
    r = run({"cat", "absent.psd"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tr2tool cat: absent.psd: no archive in add-ons/ provides it\n");
}

TEST_F(Tr2tool, CatRefusesAMemberThatClaimsMoreThanItsBytesCanGive) {
    fs::create_directories(folder / "add-ons");
    Bytes file = writeArchive(
        "FILE_0=big.bin\nFILE_1=ok.bin\n",
        {archiveMember("big.bin", std::string(10, 'b'), true), archiveMember("ok.bin", "ok")});
    // 10 stored bytes that claim 100 MB (kept far below 4 GiB: a regression writes it all).
    put32(file, 16 + 48 + 40, 100000000);
    write("add-ons/a.tr2", file);
    const ToolRun r = run({"cat", "big.bin"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("add-ons/a.tr2: member 'big.bin' claims 100000000 bytes"),
              std::string::npos)
        << r.err;
    EXPECT_LT(r.seconds, 5.0);
    EXPECT_EQ(run({"cat", "ok.bin"}).out, "ok");
}

// Every command's page has one layout: usage line, what it does, arguments, options when it has
// any, exit codes ending with 2 for wrong arguments.
TEST_F(Tr2tool, HelpPagesShareOneLayout) {
    const ToolRun help = run({"--help"});
    std::istringstream list(help.out.substr(help.out.find("commands:\n") + 10));
    std::string line;
    int pages = 0;
    while (std::getline(list, line)) {
        const std::string command = line.substr(2, line.find(' ', 2) - 2);
        ++pages;
        const std::string page = run({command, "--help"}).out;
        SCOPED_TRACE(command);
        EXPECT_EQ(page.rfind("usage: tr2tool " + command + " ", 0), 0u) << page;
        const size_t description = page.find("\n\n");
        const size_t arguments = page.find("\n\narguments:\n  ");
        const size_t options = page.find("\n\noptions:\n  ");
        const size_t codes = page.find("\n\nexit codes:\n  0  ");
        ASSERT_NE(codes, std::string::npos) << page;
        EXPECT_LT(description, arguments) << page;
        EXPECT_LT(arguments, codes) << page;
        if (options != std::string::npos) {
            EXPECT_LT(arguments, options);
            EXPECT_LT(options, codes);
        }
        EXPECT_NE(page.find("\n  2  wrong arguments", codes), std::string::npos) << page;
        std::istringstream lines(page);
        while (std::getline(lines, line)) EXPECT_LE(line.size(), 96u) << line;
    }
    EXPECT_GE(pages, 11);
}

TEST_F(Tr2tool, HelpUsageAndExitCodes) {
    const ToolRun help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* command : {"pack", "unpack", "list", "check", "cat"}) {
        EXPECT_NE(help.out.find(std::string("  ") + command + " "), std::string::npos) << command;
        const ToolRun usage = run({command, "--help"});
        EXPECT_EQ(usage.code, 0);
        EXPECT_EQ(usage.out.rfind(std::string("usage: tr2tool ") + command, 0), 0u) << usage.out;
    }
    const std::vector<std::vector<std::string>> wrong = {
        {"pack", "out.tr2"},
        {"unpack", "x.tr2"},
        {"unpack", "x", "y", "z"},
        {"list"},
        {"check"},
        {"cat"},
        {"cat", "a", "b"},
        {"nosuchcommand"},
        {},
    };
    for (const auto& args : wrong) {
        const ToolRun r = run(args);
        EXPECT_EQ(r.code, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(r.err.find("usage: tr2tool"), std::string::npos);
    }
}
}  // namespace
