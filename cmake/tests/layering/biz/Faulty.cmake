# Layering check fixture: a Qt-free folder bringing Qt in.
find_package(Qt6 REQUIRED COMPONENTS Core)
