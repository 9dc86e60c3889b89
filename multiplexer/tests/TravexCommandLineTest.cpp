// The words of travex's command line, in any case, after "-" or "/" or on their own.
#include "multiplexer/TravexRegistration.h"

#include <gtest/gtest.h>

namespace mux {
namespace {

TEST(TravexCommandLine, SwitchesInAnyCase) {
    struct Case {
        std::vector<std::string> args;
        TravexCommand command;
    };
    const Case cases[] = {
        {{}, TravexCommand::Serve},
        {{"RegServer"}, TravexCommand::RegServer},
        {{"/regserver"}, TravexCommand::RegServer},
        {{"-REGSERVER"}, TravexCommand::RegServer},
        {{"-UnregServer"}, TravexCommand::UnregServer},
        {{"/unregserver"}, TravexCommand::UnregServer},
        {{"-Embedding"}, TravexCommand::ServeDetached},
        {{"-Embedding", "/RegServer"}, TravexCommand::RegServer},
        {{"-RegServerX"}, TravexCommand::Unknown},
        {{"--verbose"}, TravexCommand::Unknown},
        {{"bogus"}, TravexCommand::Unknown},
        {{"--help"}, TravexCommand::Help},
        {{"-h"}, TravexCommand::Help},
        {{"/?"}, TravexCommand::Help},
        {{"--help", "-RegServer"}, TravexCommand::RegServer},
        {{"-Embedding", "--bogus"}, TravexCommand::Unknown},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseTravexCommandLine(c.args), c.command)
            << (c.args.empty() ? std::string("(none)") : c.args[0]);
    }
}

}  // namespace
}  // namespace mux
