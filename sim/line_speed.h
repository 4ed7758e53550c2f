// The speed the program under test set on its end of the pseudo-terminal: the ECU hears bytes
// sent at another speed than its own as garbage.
#pragma once

namespace veltrano {

// The slave's configured speed, read through the master (custom speeds included); -1 when
// it cannot be read.
int TesterLineBaud(int masterFd);

// What a byte becomes when it is read at another speed than it was sent at.
unsigned char Misheard(unsigned char byte);

}  // namespace veltrano
