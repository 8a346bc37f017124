# Copies the package's Python sources, the shipped settings profiles (when
# the project has them) and the platform library into the staged package
# beside the extension module. Run by the zelcraft_python_stage target.
file(GLOB sources ${SOURCE}/*.py)
file(COPY ${sources} DESTINATION ${STAGE})
file(REMOVE_RECURSE ${STAGE}/profiles)
if(EXISTS ${PROFILES})
  file(GLOB profiles ${PROFILES}/*.json)
  file(COPY ${profiles} DESTINATION ${STAGE}/profiles)
endif()
file(COPY_FILE ${PLATFORM} ${STAGE}/${PLATFORM_SONAME} ONLY_IF_DIFFERENT)
