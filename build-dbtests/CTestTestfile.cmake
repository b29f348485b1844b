# CMake generated Testfile for 
# Source directory: /work/main
# Build directory: /work/main/build-dbtests
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
subdirs("core")
subdirs("catalogue")
subdirs("documents")
subdirs("printing")
subdirs("app")
subdirs("tools")
subdirs("tests")
subdirs("bench")
