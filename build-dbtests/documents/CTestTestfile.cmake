# CMake generated Testfile for 
# Source directory: /work/main/documents
# Build directory: /work/main/build-dbtests/documents
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
