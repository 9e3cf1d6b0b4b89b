#include "fileset/file_set.h"

std::string MakeGameDir(const std::string& installDir) {
  return installDir + "\\Game\\";
}

std::string ShownName(const char* name) {
  return name[0] == '\\' ? std::string(name + 1) : std::string(name);
}
