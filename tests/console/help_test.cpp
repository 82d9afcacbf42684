// `help` covers every command the console takes, its examples are lines the console takes, and
// a person's mistyped command is answered with the command meant; a script's errors stay as
// they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>

#include "tools/lumiset-sim/command_help.h"
#include "tools/lumiset-sim/console.h"

namespace {

TEST(Help, CoversEveryCommandAndEachExampleIsTaken) {
    std::set<std::string_view> helped;
    for (const console::CommandHelp& help : console::CommandHelps()) {
        EXPECT_TRUE(helped.insert(help.name).second) << help.name << " has help twice";
        EXPECT_TRUE(help.syntax.starts_with(help.name)) << help.syntax;
        EXPECT_TRUE(help.example.starts_with(std::string(help.name) + " ") ||
                    help.example == help.name)
            << help.example;
        EXPECT_FALSE(help.summary.empty()) << help.name;
    }
    const auto names = console::Console::CommandNames();
    for (std::string_view name : names) {
        EXPECT_TRUE(helped.count(name)) << "no help for the command " << name;
    }
    for (std::string_view name : helped) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end())
            << "help for " << name << ", which is no command";
    }

    // Each example, on a machine of its own, is a line the console takes: at worst it finds
    // nothing to act on.
    for (const console::CommandHelp& help : console::CommandHelps()) {
        sim::Machine machine;
        std::ostringstream out;
        console::Console console(
            machine, [] {}, out);
        console.set_for_person(true);
        console.Execute(help.example);
        EXPECT_EQ(out.str().find("error: usage"), std::string::npos) << out.str();
        EXPECT_EQ(out.str().find("unknown command"), std::string::npos) << out.str();
    }
}

TEST(Help, ListsAndExplainsAndSuggests) {
    sim::Machine machine;
    std::ostringstream out;
    console::Console console(
        machine, [] {}, out);
    auto run = [&](const char* line) {
        out.str("");
        console.Execute(line);
        return out.str();
    };

    const std::string list = run("help");
    for (const console::CommandHelp& help : console::CommandHelps()) {
        EXPECT_NE(list.find("\n  " + std::string(help.name) + " "), std::string::npos) << list;
    }
    EXPECT_EQ(run("help wait"),
              "wait: moves the clock on by MS milliseconds, running all that falls due\n"
              "usage: wait MS\n"
              "example: wait 1000\n");
    EXPECT_EQ(run("help nosuch"), "error: no command nosuch\n");
    EXPECT_EQ(
        run("help zoom"),
        "error: zoom is not a console command: lumisetctl zoom opens Lumiset's Zoom dialog\n");
    EXPECT_EQ(run("help wait tray"), "error: usage: help [COMMAND]\n");

    // A script's errors are as they always were.
    EXPECT_EQ(run("hepl"), "error: unknown command: hepl\n");
    EXPECT_EQ(run("start now"), "error: unknown command: start\n");

    console.set_for_person(true);
    EXPECT_EQ(run("hepl"),
              "error: unknown command: hepl (did you mean \"help\"? \"help\" lists the "
              "commands)\n");
    EXPECT_EQ(run("frobnicate"),
              "error: unknown command: frobnicate (\"help\" lists the commands)\n");
    EXPECT_EQ(run("start now"), "error: usage: start\n");
    EXPECT_EQ(run("help tary"), "error: no command tary (did you mean \"tray\"?)\n");
}

TEST(Help, NearestCommand) {
    EXPECT_EQ(console::NearestCommand("tary"), "tray");
    EXPECT_EQ(console::NearestCommand("wiat"), "wait");
    EXPECT_EQ(console::NearestCommand("windw"), "window");
    EXPECT_EQ(console::NearestCommand("cam"), "camera");
    EXPECT_EQ(console::NearestCommand("Quit"), "quit");
    EXPECT_EQ(console::NearestCommand("lumisectl"), "lumisetctl");
    EXPECT_EQ(console::NearestCommand("frobnicate"), std::nullopt);
    EXPECT_EQ(console::NearestCommand("x"), std::nullopt);
}

}  // namespace
