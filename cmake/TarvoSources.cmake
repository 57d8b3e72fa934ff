# Source lists shared by the native build and the Windows plug-in build.
set(TARVO_CORE_SOURCES
  src/tree/tree.cpp
  src/tree/volumes.cpp
  src/tree/attachments.cpp
  src/tree/attachment_pool.cpp
  src/tree/portals.cpp
  src/tree/frustum.cpp
  src/tree/pass.cpp
  src/tree/fitted.cpp
  src/tree/host_link.cpp)
list(TRANSFORM TARVO_CORE_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/../)
