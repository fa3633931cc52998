// Runs the recorded call sequence on the system's graphics and holds what they give back against
// the record, and against the model of the pixels:
//     gdi_sequence_record RECORD          exits 0 when every step matches, else 1
//     gdi_sequence_record RECORD --write  writes the record afresh
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "gdi_sequences.h"

int main(int argc, char** argv)
{
    using lorvaxen::test::kRecordedSequence;
    if (argc < 2) {
        std::cerr << "usage: gdi_sequence_record RECORD [--write]\n";
        return 2;
    }
    const bool write = argc > 2 && std::strcmp(argv[2], "--write") == 0;
    std::ifstream record;
    std::ofstream written;
    if (write) {
        written.open(argv[1], std::ios::binary);
    } else {
        record.open(argv[1], std::ios::binary);
    }
    if (write ? !written : !record) {
        std::cerr << "cannot open " << argv[1] << "\n";
        return 2;
    }
    int mismatches = 0;
    lorvaxen::test::runSequence(kRecordedSequence,
                                [&](const std::string& calls, const std::string& model) {
                                    if (calls != model && mismatches++ < 20) {
                                        std::cerr << "the model differs:\n  graphics: " << calls
                                                  << "\n  model:    " << model << "\n";
                                    }
                                    if (write) {
                                        written << calls << "\n";
                                        return true;
                                    }
                                    std::string recorded;
                                    std::getline(record, recorded);
                                    if (calls != recorded && mismatches++ < 20) {
                                        std::cerr << "the record differs:\n  graphics: " << calls
                                                  << "\n  record:   " << recorded << "\n";
                                    }
                                    return true;
                                });
    std::cout << (mismatches == 0 ? "every step matched\n" : "steps differ\n");
    return mismatches == 0 ? 0 : 1;
}
