// Saves one file over and over, alternating two contents, until it is
// killed: the subject of the kill -9 test. Writes one byte to standard
// output after every completed save, so that the test knows it is running
// and how long a save takes.
//
//   save_loop TARGET unnamed|named
//
// "named" makes the file system look as if it had no unnamed temporary
// files (O_TMPFILE fails), so that the named temporaries are killed too.

#include <cstdio>
#include <string>
#include <unistd.h>

#include "fault_shim.h"
#include "kill_contents.h"
#include "store/file_io.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string target = argv[1];
    if (std::string(argv[2]) == "named") {
        const std::size_t slash = target.rfind('/');
        vtome::fault::watch(target.substr(0, slash));
        vtome::fault::inject(vtome::fault::Op::CreateUnnamed, 1, EOPNOTSUPP, vtome::fault::Mode::FailFromNowOn);
    }
    for (unsigned i = 0;; ++i) {
        vtome::writeFileSafely(target, vtome::testing::killContent(i % 2));
        const char done = '.';
        if (::write(1, &done, 1) != 1) return 1;
    }
}
