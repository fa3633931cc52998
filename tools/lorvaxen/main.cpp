// lorvaxen: writes barcodes as image files, one from the command line or one per line of a file;
// lorvaxen verify grades one in an image.
#include <iostream>
#include <new>
#include <string_view>

#include "batch.h"
#include "interrupt.h"
#include "job.h"
#include "options.h"
#include "verify_command.h"

int main(int argc, char** argv)
{
    using namespace lorvaxen::tool;
    installInterruptHandlers();
    try {
        if (argc > 1 && std::string_view(argv[1]) == "verify") {
            return runVerify(argc - 1, argv + 1, std::cout, std::cerr);
        }
        const ParsedArguments parsed = parseArguments(argc, argv, std::cout, std::cerr);
        if (!parsed.options) {
            return parsed.exitCode;
        }
        return parsed.options->batchInput
                   ? runBatch(*parsed.options, std::cout, std::cerr)
                   : runSingle(*parsed.options, std::cin, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "lorvaxen: out of memory\n";
        return kExitFailure;
    }
}
