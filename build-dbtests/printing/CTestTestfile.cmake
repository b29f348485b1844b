# CMake generated Testfile for 
# Source directory: /work/main/printing
# Build directory: /work/main/build-dbtests/printing
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
