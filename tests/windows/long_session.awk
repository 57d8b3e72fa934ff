# A long session for the recording DLL: rooms joined by doors, fitted
# nodes, and a camera that moves every frame, with edits between frames.
BEGIN {
  srand(7)
  print "object 1 position 1 0 1 min -0.5 -0.5 -0.5 max 0.5 0.5 0.5 radius 0.87"
  print "limb 1 2 position 3 1 3 min -1 -1 -1 max 1 2 1 radius 1.8"
  for (r = 0; r < 6; r++) {
    x = r * 10
    printf "r%d = OT_CreateBox(0, %d, 0, 0, %d, 5, 10, 2)\n", r, x, x + 10
    printf "f%d = OT_CreateObjectSphere(r%d, 1)\nl%d = OT_CreateLimbBox(r%d, 1, 2, 1)\n", r, r, r, r
    printf "s%d = OT_CreateSphere(r%d, %d, 2, 5, 1.5)\nOT_AddObject(s%d, %d)\n", r, r, x + 5, r, 10 + r
    printf "OT_AddLimb(l%d, %d, 1)\n", r, 20 + r
    if (r > 0) {
      printf "d%d = OT_CreateBox(0, %g, 0, 4, %g, 3, 6)\n", r, x - 0.25, x + 0.25
      printf "p%d = OT_AddPortal(r%d, r%d, d%d)\n", r, r - 1, r, r
    }
  }
  for (f = 0; f < 1000; f++) {
    ex = f * 0.07 - 2; ez = 1 + 8 * rand(); r = int(6 * rand()); d = 1 + int(5 * rand())
    printf "camera 2 lookat %.7g 1.5 %.7g %.7g 1 %.7g %.5g 1.5 0.1 200\n", ex, ez, ex + 10 * rand() - 5, ez + 10 * rand() - 5, 50 + 40 * rand()
    print (f % 2 == 0 ? "current-camera 2\nOT_UpdateFrustum()" : "OT_UpdateFrustum(2)")
    if (f % 5 == 0) printf "OT_SetRadius(s%d, %.6g)\n", r, 0.5 + 2.5 * rand()
    if (f % 5 == 1) printf "OT_DisablePortal(p%d)\n", d
    if (f % 5 == 2) printf "OT_EnablePortal(p%d)\n", d
    if (f % 5 == 3) printf "OT_Hide(r%d)\nOT_Visible(r%d)\n", r, r
    if (f % 5 == 4) printf "OT_GetPositionX(s%d)\nOT_TestPoint(%.7g, 1, %.7g)\n", r, ex, ez + 1
    print (f % 10 == 9 ? "OT_Cull(r0)" : "OT_CullAll()")
  }
}
