// lorvaxen: writes barcodes as image files, one from the command line or one per line of a file;
// lorvaxen verify grades one in an image.
#include <iostream>
#include <new>

#include "batch.h"
#include "interrupt.h"
#include "job.h"
#include "options.h"
#include "sheet_run.h"
#include "verify_run.h"

int main(int argc, char** argv)
{
    using namespace lorvaxen::tool;
    installInterruptHandlers();
    try {
        const ParsedArguments parsed = parseArguments(argc, argv, std::cout, std::cerr);
        if (parsed.verify) {
            return runVerifyRequest(*parsed.verify, std::cout, std::cerr);
        }
        if (!parsed.options) {
            return parsed.exitCode;
        }
        if (parsed.options->pages) {
            return runPages(*parsed.options, std::cout, std::cerr);
        }
        return parsed.options->batchInput
                   ? runBatch(*parsed.options, std::cout, std::cerr)
                   : runSingle(*parsed.options, std::cin, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "lorvaxen: out of memory\n";
        return kExitFailure;
    }
}
