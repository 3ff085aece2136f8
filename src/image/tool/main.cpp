#include "image/tool/image_tool.h"

#include <iostream>

int main(int argc, char** argv) {
    return galerion::RunImageTool(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                  std::cerr);
}
