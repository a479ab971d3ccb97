#ifndef DATAGEN_OUTPUT_H
#define DATAGEN_OUTPUT_H

#include <string>
#include <vector>

// The folder the generated files go to: the installation folder's data\.
// Files are named as the game names them below data\, with backslashes
// ("models\\weapons\\rifle.mbm"); folders are made as needed.
class OutputFolder {
 public:
  explicit OutputFolder(const std::string& root) : root_(root) {}

  bool Write(const std::string& gamePath, const std::string& bytes);
  bool Write(const std::string& gamePath, const std::vector<unsigned char>& bytes);

  const std::vector<std::string>& Written() const { return written_; }
  bool Failed() const { return failed_; }

 private:
  std::string root_;
  std::vector<std::string> written_;
  bool failed_ = false;
};

#endif
