// DigitPairs: the two-character texts of 00 to 99, for formatters that write
// two digits at a time. Internal to text/.
#ifndef QUILLMAP_TEXT_DIGITPAIRS_H
#define QUILLMAP_TEXT_DIGITPAIRS_H

inline const char kDigitPairs[] = "00010203040506070809"
                                  "10111213141516171819"
                                  "20212223242526272829"
                                  "30313233343536373839"
                                  "40414243444546474849"
                                  "50515253545556575859"
                                  "60616263646566676869"
                                  "70717273747576777879"
                                  "80818283848586878889"
                                  "90919293949596979899";

#endif
