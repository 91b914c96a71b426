// SPDX-License-Identifier: GPL-3.0-or-later
// One line of TAB-separated values in bounded storage, filled a character at a time: the part
// that the readers of the score file and of the saved-game file share.
#ifndef VELMINE_FIELDREADER_H
#define VELMINE_FIELDREADER_H

#include <iosfwd>

class FieldReader {
public:
  // The most that one line of either file can hold: ten values of 254 bytes.
  enum { FIELD_SIZE = 254, FIELD_COUNT = 10 };

  FieldReader();

  // Adds a character to the current value. A carriage return is held back until the next
  // character shows that it does not end the line, so CRLF files read like LF files.
  void Append(char c);
  // Completes the current value, which may be empty.
  void EndField();
  // Completes the last value of the line; a carriage return just before the newline is dropped.
  void EndLine();
  // Whether EndLine dropped a carriage return: it may have been the last byte of the value.
  bool DroppedCr() const;
  // Forgets the line and starts the next one.
  void Clear();

  // The number of values completed on the line, or FIELD_COUNT + 1 when the line did not fit
  // the storage (more values than fit, or a value longer than FIELD_SIZE): no reader accepts
  // that many, and a line that long can never be a record of either file.
  int Length() const;
  // Value i (below FIELD_COUNT) as bytes; a value the line did not complete is empty.
  const char* Text(int i) const;
  int Size(int i) const;
  // Value i converted by ToInt.
  int Value(int i) const;

private:
  char text[FIELD_COUNT][FIELD_SIZE];
  int size[FIELD_COUNT];
  int strCount;
  int tabCount;
  bool crFlag;
  bool droppedCrFlag;
  bool fullFlag;

  void Store(char c);
};

// Append and Store run once per byte of either file, so they are inline.
inline void FieldReader::Store(char c) {
  // Whatever does not fit is dropped; the line is then marked as one that cannot be a record.
  if (tabCount >= FIELD_COUNT || strCount >= FIELD_SIZE) {
    fullFlag = true;
    return;
  }
  text[tabCount][strCount] = c;
  strCount++;
}

inline void FieldReader::Append(char c) {
  if (crFlag) {
    crFlag = false;
    Store('\r');
  }
  if (c == '\r')
    crFlag = true;
  else
    Store(c);
}

// The rules of atoi (leading white space, an optional sign, the digits up to the first other
// byte; no digits give 0) over length bytes, but saturated at the int limits where atoi has no
// defined result.
int ToInt(const char* text, int length);
// The same rules in 64 bits, saturated at the long long limits.
long long ToLong(const char* text, int length);

// Opens path for reading only when it is a regular file: a directory or a device in the place
// of a data file counts as no file at all.
bool OpenRegular(std::ifstream& in, const char* path);

#endif
