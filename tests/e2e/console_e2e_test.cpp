// Answers typed into a real console. Under Wine the program gets one when it runs on a
// pseudo-terminal, with the code pages of the Unix locale: German (1252/850), Russian (1251/866)
// and Japanese (932) Windows. Names outside the code page must reach the folder typed, never a
// look-alike, and the report must hold the very bytes that Linux writes.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "program_runner.hpp"

// Terminal-only behaviour is seen on the pseudo-terminal; Wine's console is not one.
#define SKIP_UNDER_WINE()        \
    if (runs_through_launcher()) \
    GTEST_SKIP() << "Wine's console is not the pseudo-terminal"

namespace e2e {
namespace {

// Runs the program on a pseudo-terminal and types the lines of `typed` (each ending in a carriage
// return, the Enter key) one at a time, each once the program has gone quiet, as a person would.
// The output is everything the terminal showed. `before_line` is called with the count of lines
// typed so far, before each next one; `options` follow the program (or `command`).
ProgramRun run_on_terminal(
    const std::string& typed, const std::vector<std::string>& settings,
    const std::function<void(int)>& before_line = [](int) {},
    const std::vector<std::string>& options = {},
    std::vector<std::string> command = program_command()) {
    command.insert(command.end(), options.begin(), options.end());
    std::vector<char*> arguments(command.size() + 1);  // ending in a null pointer
    std::ranges::transform(command, arguments.begin(),
                           [](std::string& word) { return word.data(); });
    int terminal = -1;
    // Wide enough that Wine's console breaks no line the program writes.
    winsize wide{50, 250, 0, 0};
    const pid_t process = forkpty(&terminal, nullptr, nullptr, &wide);
    if (process == 0) {
        unsetenv("LC_ALL");
        for (const std::string& setting : settings) {
            const std::size_t equals = setting.find('=');
            setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
        }
        execvp(arguments[0], arguments.data());
        _exit(126);
    }
    ProgramRun run;
    std::string_view to_type = typed;
    // Wine's console may pause between lines of its own.
    const int quiet_milliseconds = runs_through_launcher() ? 500 : 100;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, quiet_milliseconds) == 0) {
            // Quiet: the program waits for the next line.
            if (!run.output.empty() && !to_type.empty()) {
                before_line(static_cast<int>(std::count(typed.begin(), typed.end(), '\r') -
                                             std::count(to_type.begin(), to_type.end(), '\r')));
                const std::size_t line = to_type.find('\r') + 1;
                to_type.remove_prefix(std::max<ssize_t>(write(terminal, to_type.data(), line), 0));
            }
            continue;
        }
        char buffer[4096];
        const ssize_t got = read(terminal, buffer, sizeof buffer);
        if (got <= 0) {
            break;  // every process on the terminal has left it
        }
        run.output.append(buffer, static_cast<std::size_t>(got));
    }
    kill(process, SIGKILL);
    int status = 0;
    waitpid(process, &status, 0);
    close(terminal);
    run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The three locales, compiled into `folder` (for LOCPATH) from sources: a bare machine lacks them.
void compile_locales(const fs::path& folder) {
    for (const std::string locale : {"de_DE", "ru_RU", "ja_JP"}) {
        const fs::path into = folder / (locale + ".UTF-8");
        std::system(("localedef -i " + locale + " -f UTF-8 " + into.string()).c_str());
        ASSERT_TRUE(fs::exists(into)) << "localedef could not compile " << locale;
    }
}

TEST(Console, NamesOfEveryScriptReachTheFolderTypedAndTheReportIsUtf8) {
    const ScratchDirectory locales;
    if (runs_through_launcher()) {
        compile_locales(locales.path());
    }
    // The language, the folder typed and a look-alike beside it, which must stay untouched.
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {"de_DE", "Łódź", "Lódz"},
        {"de_DE", "Видео", "Vid"},
        {"de_DE", "视频", "Vid"},
        {"ru_RU", "Видео_Отпуск", "Video_Otpusk"},
        {"ru_RU", "Urlaub_Köln", "Urlaub_Koln"},
        {"ja_JP", "動画", "Vid"},
        {"ja_JP", "Urlaub_Köln", "Urlaub_Koln"}};
    for (const auto& [language, folder, beside] : rows) {
        SCOPED_TRACE(language + " " + folder);
        const ScratchDirectory scratch;
        const std::string clip = "2025_11_21_15_40_10.mp4";
        ScratchDirectory::write_file(fs::path(folder) / clip, "clip");
        ScratchDirectory::write_file(fs::path(beside) / clip, "other");
        const std::string renamed = folder + "/2025 11 21 14 25 10.mp4";
        const ProgramRun run =
            run_on_terminal("Y\r" + folder + "\r2025 11 21 15 30 00\r2025 11 21 14 15 00\rN\r\r",
                            {"LANG=" + language + ".UTF-8", "LOCPATH=" + locales.path().string()});
        EXPECT_EQ(run.exit_status, 0) << run.output;
        EXPECT_NE(run.output.find(" Successfully renamed " + renamed), std::string::npos);
        EXPECT_EQ(folder_contents(folder), (Files{{"2025 11 21 14 25 10.mp4", "clip"}}));
        EXPECT_EQ(folder_contents(beside), (Files{{clip, "other"}}));
        EXPECT_EQ(ScratchDirectory::read_file(report_name),
                  crlf("2025 11 21 15 30  0\n2025 11 21 14 15  0\nMinutes to correct =      "
                       "-75\n\nSuccessfully renamed " +
                       renamed + "\n\n     1 files successfully renamed\n"));
    }
}

// A card taken out while the program waits for the times: its clips stay, and the user is told why.
TEST(Terminal, TellsOfAFolderGoneWhileTheTimesWereTyped) {
    SKIP_UNDER_WINE();
    const ScratchDirectory scratch;
    ScratchDirectory::write_file("Clips/2024_03_01_00_00_00.mp4", "clip");
    const ProgramRun run = run_on_terminal(
        "Y\rClips\r2024 03 01 01 00 00\r2024 03 01 00 00 00\rN\r\r", {}, [](int typed) {
            if (typed == 2) {
                fs::rename("Clips", "Gone");
            }
        });
    EXPECT_NE(run.output.find("Clips/2024_03_01_00_00_00.mp4 was left as it is: "), run.output.npos)
        << run.output;
    EXPECT_EQ(folder_contents("Gone"), (Files{{"2024_03_01_00_00_00.mp4", "clip"}}));
}

// On a terminal the person is shown what correcting the dates does to the first clip, and chooses.
TEST(Terminal, AsksWhetherToCorrectTheDatesTooAfterShowingTheFirstClips) {
    for (const std::string answer : {"N", "y"}) {
        const ScratchDirectory scratch;
        ScratchDirectory::write_file("Real/2024_03_01_00_00_00.mp4", "clip");
        fs::create_directory_symlink("Real", "Clips");  // a folder reached through a link
        const auto written = fs::last_write_time("Clips/2024_03_01_00_00_00.mp4");
        const ProgramRun run = run_on_terminal(
            "Y\rClips\r2024 03 01 01 00 00\r2024 03 01 00 00 00\r" + answer + "\r\r",
            {"TZ=<+0530>-5:30"});
        EXPECT_NE(run.output.find(" The first clip, 2024_03_01_00_00_00.mp4:"), std::string::npos);
        EXPECT_NE(run.output.find("after 2024-02-29 23:00:00"), std::string::npos) << run.output;
        EXPECT_EQ(fs::last_write_time("Clips/2024 02 29 23 00 00.mp4") != written, answer == "y");
    }
}

TEST(Terminal, ShowsControlBytesOfANameAsQuestionMarksAndKeepsThemInTheReport) {
    SKIP_UNDER_WINE();
    // C0 controls, a lone 8-bit control sequence introducer and 0xFF, a lead byte on its own.
    for (const std::string bytes : {"\x1b\x07", "\x9b\xff", "\xc3\xc3"}) {
        const ScratchDirectory scratch;
        const std::string name = "2024_03_01_00_00" + bytes + "x.mp4";
        ScratchDirectory::write_file("Clips/" + name, "clip");
        const ProgramRun run =
            run_on_terminal("Y\rClips\r2024 03 01 01 00 00\r2024 03 01 00 00 00\rN\r\r", {});
        EXPECT_EQ(run.exit_status, 0);
        // The terminal turns a line feed into CR LF; the program's own CR before it must stay.
        for (const std::string line : {"File name = 2024_03_01_00_00??x.mp4\r\r\n",
                                       " Could not rename Clips/2024_03_01_00_00??x.mp4\r\r\n"}) {
            EXPECT_NE(run.output.find(line), std::string::npos) << run.output;
        }
        EXPECT_EQ(run.output.find_first_of(bytes), std::string::npos);
        EXPECT_NE(ScratchDirectory::read_file(report_name)
                      .find("Could not rename Clips/" + name + "\r\n"),
                  std::string::npos);
        // Through a pipe the output keeps the name's bytes; the error stream never does.
        ScratchDirectory::write_file("Clips/" + bytes + ".txt", "");
        const ProgramRun piped = run_program(".", "Y\nClips\n");
        EXPECT_NE(piped.error.find("  ??.txt"), std::string::npos) << piped.error;
        EXPECT_EQ(piped.error.find_first_of(bytes), std::string::npos);
    }
}

// A date typed the natural way is asked for again, with the reason; too few numbers get a hint,
// and a slash after the last of them ends the answer.
TEST(Terminal, AsksAgainForADateTypedAnotherWay) {
    SKIP_UNDER_WINE();
    // What is typed, what the person is told, and whether the question comes again.
    const std::tuple<std::string, std::string, bool> rows[] = {
        {"2024-03-01 01:00:00\r", "The answer \"2024-03-01\" is not a whole number: type", true},
        {"01.03.2024 01.00\r", "The answer \"01.03.2024\" is not a whole number", true},
        {"2024 03 01 01 00 00 Uhr\r", "The answer \"Uhr\" is not a whole number", true},
        {"2024/03/01 01:00\r", "The answer \"2024/03/01 01:00\" is cut short by a slash", true},
        {"2024 03 01\r01 00 /\r", "\"01 00 /\" is cut short by a slash", true},
        {"2024 03 01 01 00\r", "Still missing: 1 of the 6 numbers.\r\r\n00 /\r\n\r\r\n", false},
        {"2024,03\r\r01 01 00\r", "Still missing: 4 of the 6 numbers.\r\r\n\r\nStill missing: 4",
         false},
    };
    for (const auto& [typed, told, again] : rows) {
        SCOPED_TRACE(typed);
        const ScratchDirectory scratch;
        ScratchDirectory::write_file("Clips/2024_03_01_00_00_00.mp4", "clip");
        const ProgramRun run =
            run_on_terminal("Y\rClips\r" + typed + (again ? "2024 03 01 01 00 00\r" : "00 /\r") +
                                "2024 03 01 00 00 00\rN\r\r",
                            {});
        EXPECT_NE(run.output.find(told), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("on the camera as", run.output.find(told)) != std::string::npos,
                  again);
        EXPECT_EQ(folder_contents("Clips"), (Files{{"2024 02 29 23 00 00.mp4", "clip"}}));
    }
}

// A path typed or pasted is taken as a dropped folder, through a link too: the report lands beside
// the folder. A name too long for the folder field says so.
TEST(Terminal, TakesATypedPathAsADroppedFolderAndTellsWhyANameIsTooLong) {
    SKIP_UNDER_WINE();
    const ScratchDirectory scratch;
    const std::string path = (fs::current_path() / "Sub/Clips").string();
    const std::pair<std::string, std::string> rows[] = {
        {"\"" + path + "\"", "Sub/"},
        {"'" + path + "'", "Sub/"},
        {"Sub/Clips", "Sub/"},
        {std::string(51, 'L'),
         "The folder name has 51 characters; 50 is the most the program takes."}};
    for (const auto& [typed, told] : rows) {
        ScratchDirectory::write_file("Sub/Real/2024_03_01_00_00_00.mp4", "clip");
        fs::create_directory_symlink("Real", "Sub/Clips");  // a folder reached through a link
        const ProgramRun run = run_on_terminal(
            "Y\r" + typed + "\r2024 03 01 01 00 00\r2024 03 01 00 00 00\rN\r\r", {});
        EXPECT_NE(run.output.find(told.ends_with('/') ? " Successfully renamed Real/" : told),
                  std::string::npos)
            << run.output;
        EXPECT_EQ(fs::exists(told + report_name), told == "Sub/");
        // The command that takes the run back works from where the person's shell stands.
        const std::string undo = " --undo " + fs::current_path().string() + "/Sub/";
        EXPECT_EQ(run.output.find(undo) != run.output.npos, told == "Sub/");
        fs::remove_all("Sub");
    }
}

// A journal an editor saved again, as UTF-16 in either order or UTF-8 with a mark, still works.
TEST(Undo, ReadsAJournalSavedAgainAsUtf16OrWithAByteOrderMark) {
    const ScratchDirectory scratch;
    for (const std::string mark : {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"}) {
        ScratchDirectory::write_file("Clips/2024_03_01_00_00_00.mp4", "clip");
        run_program(".", "Y\nClips\n2024 03 01 01 00 00\n2024 03 01 00 00 00\n\n");
        const std::string journal = journal_in(".");
        std::string saved = mark;
        for (const char byte : ScratchDirectory::read_file(journal)) {
            saved += mark.size() == 3    ? std::string(1, byte)
                     : mark[0] == '\xFF' ? std::string{byte, '\0'}
                                         : std::string{'\0', byte};
        }
        ScratchDirectory::write_file(journal, saved);
        EXPECT_EQ(run_program(".", "", false, {"--undo", journal}).exit_status, 0) << mark.size();
        EXPECT_EQ(folder_contents("Clips"), (Files{{"2024_03_01_00_00_00.mp4", "clip"}}));
        fs::remove(journal);
    }
    // On Windows, where names are text, a journal saved in the code page ("ANSI") names no file.
    run_program(".", "Y\nClips\n2024 03 01 01 00 00\n2024 03 01 00 00 00\n\n");
    ScratchDirectory::write_file(journal_in("."),
                                 ScratchDirectory::read_file(journal_in(".")) + "\xF6");
    const ProgramRun ansi = run_program(".", "", false, {"--undo", journal_in(".")});
    EXPECT_EQ(ansi.error.find("save it again with") != std::string::npos, runs_through_launcher());
}

// A dropped journal's run is taken back once the person says Y; a script is told to name --undo.
TEST(Terminal, AJournalDroppedOntoTheProgramIsTakenBackAfterAsking) {
    const ScratchDirectory scratch;
    ScratchDirectory::write_file("Clips/2024_03_01_00_00_00.mp4", "clip");
    run_program(".", "Y\nClips\n2024 03 01 01 00 00\n2024 03 01 00 00 00\n\n");
    const std::string journal = journal_in(".");
    const Files shifted = folder_contents("Clips");
    const ProgramRun piped = run_program(".", "y\n", false, {journal});
    EXPECT_EQ(piped.exit_status, 2);
    const std::size_t told = piped.error.find(" --undo " + journal);
    EXPECT_LT(piped.error.find("is an undo journal; to take its run back: "), told) << piped.error;
    EXPECT_NE(told, std::string::npos);
    // With --dates the clips get their dates, never their old names, once the person says Y.
    const std::string clip = "Clips/2024 02 29 23 00 00.mp4";
    const auto time = fs::last_write_time(clip);
    for (const std::string answer : {"N", "y"}) {
        const auto run = run_on_terminal(answer + "\r\r", {}, [](int) {}, {"--dates", journal});
        EXPECT_NE(run.output.find(journal + " renamed: 1 clips in the folder \"Clips\""),
                  run.output.npos)
            << run.output;
        EXPECT_EQ(folder_contents("Clips"), shifted);
        EXPECT_EQ(fs::last_write_time(clip) == time, answer == "N");
    }
    const std::string asked =
        "Take back the run of " + journal + ": 1 clips in the folder \"Clips\"? Y/N";
    for (const std::string answer : {"N", "y"}) {
        // Under Wine the console is the program's alone, as a drop opens one: Enter closes it.
        const ProgramRun run = run_on_terminal(answer + "\r\r", {}, [](int) {}, {journal});
        EXPECT_NE(run.output.find(asked), std::string::npos) << run.output;
        EXPECT_EQ(folder_contents("Clips") == shifted, answer == "N");
    }
    EXPECT_EQ(folder_contents("Clips"), (Files{{"2024_03_01_00_00_00.mp4", "clip"}}));
}

// A clip a player holds open on Windows is left as it is; the same answers again, typed into cmd,
// rename only that clip, and the runs' undo commands, pasted into cmd, take both runs back.
TEST(Terminal, ASecondTryRenamesOnlyTheHeldClipAndItsUndoLinesWorkInCmd) {
    if (!runs_through_launcher()) {
        GTEST_SKIP() << "only Windows lets a program hold a clip against renaming";
    }
    const char* holder = environment_variable("RUR_CLIP_HOLDER");
    ASSERT_NE(holder, nullptr) << "RUR_CLIP_HOLDER must name rur_hold_open.exe";
    const ScratchDirectory scratch;
    ScratchDirectory::write_file("Clips/2024_03_01_00_00_00.mp4", "held");
    ScratchDirectory::write_file("Clips/2024_03_01_00_00_10.mp4", "other");
    const Files start = folder_contents("Clips");
    // A program folder with a blank in its name, which cmd needs quoted.
    fs::create_directory("My Tools");
    fs::copy_file(program_command().back(), "My Tools/DoridivezizoziRUR.exe");
    const std::string launcher = program_command().front(), program = "My Tools\\DoridivezizoziRUR";
    const std::string typed = "Y\rClips\r2024 03 01 01 00 00\r2024 03 01 00 00 00\r";
    run_on_terminal(typed + "N\r\r", {}, [](int) {}, {},
                    {launcher, holder, "Clips\\2024_03_01_00_00_00.mp4", program + ".exe"});
    const ProgramRun again =
        run_on_terminal(typed + "Y\rN\r\r", {}, [](int) {}, {}, {launcher, "cmd", "/c", program});
    EXPECT_NE(again.output.find(" Rename only the 1 clips that run left"), std::string::npos);
    // The first run's command, told before the second run, and the second run's own at its end,
    // in cmd's form: Wine's cmd, unlike Windows', would run PowerShell's too.
    std::smatch lines;
    ASSERT_TRUE(std::regex_search(
        again.output, lines,
        std::regex("first:[^ ]* {3}(\"[^\r\x1b]+)[^]* To take this run back: (\"[^\r\x1b]+)")))
        << again.output;
    const std::string pasted = run_on_terminal(lines.str(2) + "\r" + lines.str(1) + "\rexit\r", {},
                                               [](int) {}, {}, {launcher, "cmd"})
                                   .output;
    EXPECT_NE(pasted.find("     1 of 1 files restored"), pasted.rfind("     1 of 1 files restored"))
        << pasted;
    EXPECT_NE(pasted.find("     1 files the run never renamed"), std::string::npos);
    EXPECT_EQ(folder_contents("Clips"), start);
}

// A person is told how to take a run back and asked before shifting twice; a script is neither.
TEST(Terminal, TellsHowToUndoAndAsksBeforeShiftingTwice) {
    SKIP_UNDER_WINE();
    const ScratchDirectory scratch;
    // A burst: the second clip is told apart by the name it took, not the one planned.
    for (const char* clip : {"2024_03_01_00_00_00.mp4", "2024-03-01-00-00-00.mp4"}) {
        ScratchDirectory::write_file(fs::path("Clips") / clip, clip);
    }
    const std::string typed = "Y\rClips\r2024 03 01 01 00 00\r2024 03 01 00 00 00\r";
    const ProgramRun first = run_on_terminal(typed + "N\r\r", {});
    const std::string journal = journal_in(".");
    // The terminal shows each line end of the program's as a carriage return and a line end.
    EXPECT_NE(first.output.find("     2 files successfully renamed\r\r\n To take this run back: " +
                                fs::canonical(RUR_PROGRAM_PATH).string() + " --undo " +
                                fs::canonical(journal).string() + "\r\r\n DONE"),
              std::string::npos)
        << first.output;
    const Files shifted = folder_contents("Clips");
    // A run on another folder since, the clips' dates corrected since and the folder named
    // through a link hide nothing: the run that renamed is named, the dates' run taken back first.
    ScratchDirectory::write_file("Other/2024_03_01_00_00_00.mp4");
    run_program(".", "Y\nOther\n2024 03 01 01 00 00\n2024 03 01 00 00 00\n");
    EXPECT_EQ(run_program(".", "", false, {"--dates", journal}).exit_status, 0);
    fs::create_directory_symlink("Clips", "Link");
    const ProgramRun again = run_on_terminal("Y\rLink" + typed.substr(7) + "N\r", {});
    EXPECT_NE(again.output.find(" Shift them again? Y/N"), std::string::npos) << again.output;
    EXPECT_NE(again.output.find("(see " + journal +
                                ").\r\r\n To start again from their original "
                                "names, take back the runs that corrected their dates since"),
              std::string::npos);
    EXPECT_EQ(folder_contents("Clips"), shifted);
    EXPECT_EQ(run_on_terminal(typed + "y\rN\r\r", {}).exit_status, 0);
    EXPECT_NE(folder_contents("Clips"), shifted);
    // The newest run is the one asked about, not the first, whose names the clips no longer bear.
    EXPECT_NE(run_on_terminal(typed + "N\r", {}).output.find("again?"), std::string::npos);
    // Answers from a file are no person, though the lines reach the terminal: nothing is asked.
    ScratchDirectory::write_file("answers", "Y\nClips\n2024 03 01 01 00 00\n2024 03 01 00 00 00\n");
    const ProgramRun piped = run_on_terminal(
        "", {}, [](int) {}, {}, {"/bin/sh", "-c", "exec \"$0\" <answers", RUR_PROGRAM_PATH});
    EXPECT_EQ(piped.output.find("Shift them"), std::string::npos) << piped.output;
    EXPECT_NE(piped.output.find("To take this run back"), std::string::npos);
    // An empty journal, as a run killed before its first write leaves, is never the newest.
    ScratchDirectory::write_file(journal_start + "29991231-235959.txt", "");
    const std::string told = run_program(".", "", false, {"--undo"}).error;
    EXPECT_NE(told.find("the newest here: "), std::string::npos);
    EXPECT_EQ(told.find("29991231"), std::string::npos) << told;
    // Only a missing journal points at the newest: another usage error is no call to undo.
    EXPECT_EQ(run_program(".", "", false, {"--bogus"}).error.find("newest"), std::string::npos);
}

}  // namespace
}  // namespace e2e
