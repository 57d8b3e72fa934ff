// The script commands, one row each: the only place a command is listed.
// Everything else that knows the commands derives from this list: the
// command table (commands/command_table.h), the call by identifier, the
// recording flavour's exports and journal, the Windows string table and
// module definition, the script authors' reference, the script runner, the
// compile-time check of include/tarvo/culling.h, and the tests.
//
// X(ID, EXPORT, SCRIPT NAME, HOST LINK, HOST READS, (RESULT KIND, RESULT NAME),
//   ((PARAMETER KIND, PARAMETER NAME), ...), REFERENCE TEXT)
//
//   ID           the string identifier in the plug-in's resource, 1 to 61 in
//                order; scripts and journals never see it, the host does.
//   EXPORT       the C function the host calls, as include/tarvo/culling.h
//                declares it.
//   SCRIPT NAME  what scripts call; two rows share one for an overload, which
//                the host's compiler picks by the number of arguments.
//   HOST LINK    Link: the command reaches for the host's modules first.
//                NoLink: it never touches them.
//   HOST READS   the host state the command reads besides its arguments,
//                which the journal writes before the command: Nothing,
//                CurrentCamera (its frustum), CameraMatrices (of the camera
//                argument), CameraPosition (of the camera the frustum came
//                from), ObjectFigures or LimbFigures (of the object argument,
//                or of the object and the limb arguments).
//   RESULT       None; NewNode or NewPortal (a fresh handle, 0 when nothing
//                was made); Node (a handle of an existing node); Float (the
//                float's bit pattern); Flag (exactly 0 or 1).
//   PARAMETERS   Node, Portal (handles), Role, Object, Limb, Camera (plain
//                integers), Float. Names are the C names; the reference
//                spells them as words ("portalNode" is "portal node").
//   REFERENCE    what the command does, for script authors.
#pragma once

// clang-format off
#define TARVO_COMMANDS(X)                                                                          \
    X(1, OT_UpdateFrustum1, OT_UpdateFrustum, Link, CurrentCamera, (None, ), (),                   \
      "Takes the view frustum from the engine's current camera; the next cull uses it.")           \
    X(2, OT_UpdateFrustum2, OT_UpdateFrustum, Link, CameraMatrices, (None, ), ((Camera, camera)),  \
      "Takes the view frustum from the given camera; a camera the engine does not have changes "   \
      "nothing.")                                                                                  \
    X(3, OT_CullAll, OT_CullAll, Link, CameraPosition, (None, ), (),                               \
      "Culls the whole tree: floods from the zone that holds the camera through open portals "     \
      "in view, and shows or hides every object and limb accordingly.")                            \
    X(4, OT_Cull, OT_Cull, Link, CameraPosition, (None, ), ((Node, startNode)),                    \
      "One culling pass from the given node instead of the whole tree; node 0 is the same as "     \
      "OT_CullAll.")                                                                               \
    X(5, OT_CreateBox1, OT_CreateBox, Link, Nothing, (NewNode, node),                              \
      ((Node, parent), (Float, xa), (Float, ya), (Float, za), (Float, xb), (Float, yb),            \
       (Float, zb), (Role, role)),                                                                 \
      "Creates a box from two corners under the parent (0: at the top level) with the given "      \
      "role (1 normal, 2 zone; any other value takes no part in culling).")                        \
    X(6, OT_CreateSphere1, OT_CreateSphere, Link, Nothing, (NewNode, node),                        \
      ((Node, parent), (Float, x), (Float, y), (Float, z), (Float, radius), (Role, role)),         \
      "Creates a sphere from its centre and radius under the parent, with the given role.")        \
    X(7, OT_CreatePoint1, OT_CreatePoint, Link, Nothing, (NewNode, node),                          \
      ((Node, parent), (Float, x), (Float, y), (Float, z), (Role, role)),                          \
      "Creates a point under the parent, with the given role.")                                    \
    X(8, OT_CreateBox2, OT_CreateBox, Link, Nothing, (NewNode, node),                              \
      ((Node, parent), (Float, xa), (Float, ya), (Float, za), (Float, xb), (Float, yb),            \
       (Float, zb)),                                                                               \
      "The box of OT_CreateBox with a role, with role 1 (normal).")                                \
    X(9, OT_CreateSphere2, OT_CreateSphere, Link, Nothing, (NewNode, node),                        \
      ((Node, parent), (Float, x), (Float, y), (Float, z), (Float, radius)),                       \
      "The sphere of OT_CreateSphere with a role, with role 1 (normal).")                          \
    X(10, OT_CreatePoint2, OT_CreatePoint, Link, Nothing, (NewNode, node),                         \
      ((Node, parent), (Float, x), (Float, y), (Float, z)),                                        \
      "The point of OT_CreatePoint with a role, with role 1 (normal).")                            \
    X(11, OT_Delete, OT_Delete, Link, Nothing, (None, ), ((Node, node)),                           \
      "Deletes the node with its whole subtree and every portal that names one of those nodes; "   \
      "node 0 deletes everything.")                                                                \
    X(12, OT_DeleteAll, OT_DeleteAll, Link, Nothing, (None, ), (),                                 \
      "Deletes every node and portal.")                                                            \
    X(13, OT_AddObject, OT_AddObject, NoLink, Nothing, (None, ), ((Node, node), (Object, object)), \
      "Hangs an engine object on the node: showing or hiding the node shows or hides the "         \
      "object.")                                                                                   \
    X(14, OT_AddLimb, OT_AddLimb, NoLink, Nothing, (None, ),                                       \
      ((Node, node), (Object, object), (Limb, limb)),                                              \
      "Hangs one limb of an engine object on the node.")                                           \
    X(15, OT_RemoveObject, OT_RemoveObject, NoLink, Nothing, (None, ),                             \
      ((Node, node), (Object, object)),                                                            \
      "Takes the object off the node (every time it was added); its limbs stay.")                  \
    X(16, OT_RemoveLimb, OT_RemoveLimb, NoLink, Nothing, (None, ),                                 \
      ((Node, node), (Object, object), (Limb, limb)),                                              \
      "Takes the object's limb off the node (every time it was added).")                           \
    X(17, OT_Visible, OT_Visible, NoLink, Nothing, (Flag, visible), ((Node, node)),                \
      "1 when the node was last shown, 0 when it was last hidden; a new node reads 1.")            \
    X(18, OT_Hide, OT_Hide, NoLink, Nothing, (None, ), ((Node, node)),                             \
      "Hides what hangs on this node only; its children are not touched.")                         \
    X(19, OT_Show, OT_Show, NoLink, Nothing, (None, ), ((Node, node)),                             \
      "Shows what hangs on this node only.")                                                       \
    X(20, OT_HideAll1, OT_HideAll, NoLink, Nothing, (None, ), ((Node, node)),                      \
      "Hides the node and its whole subtree; node 0 hides the whole tree.")                        \
    X(21, OT_ShowAll1, OT_ShowAll, NoLink, Nothing, (None, ), ((Node, node)),                      \
      "Shows the node and its whole subtree; node 0 shows the whole tree.")                        \
    X(22, OT_HideAll2, OT_HideAll, NoLink, Nothing, (None, ), (),                                  \
      "Hides the whole tree.")                                                                     \
    X(23, OT_ShowAll2, OT_ShowAll, NoLink, Nothing, (None, ), (),                                  \
      "Shows the whole tree.")                                                                     \
    X(24, OT_AddPortal, OT_AddPortal, NoLink, Nothing, (NewPortal, portal),                        \
      ((Node, zoneA), (Node, zoneB), (Node, portalNode)),                                          \
      "Joins two zones by a portal (a door or window); the flood passes through it while it is "   \
      "enabled and its opening node is in view. An opening node 0 counts as always in view.")      \
    X(25, OT_RemovePortal, OT_RemovePortal, NoLink, Nothing, (None, ), ((Portal, portal)),         \
      "Removes the portal.")                                                                       \
    X(26, OT_CreateObjectBox1, OT_CreateObjectBox, Link, ObjectFigures, (NewNode, node),           \
      ((Node, parent), (Object, object), (Role, role)),                                            \
      "Creates a box fitted around an engine object, with the object hung on it, under the "       \
      "parent with the given role; 0 when the engine has no such object.")                         \
    X(27, OT_CreateObjectSphere1, OT_CreateObjectSphere, Link, ObjectFigures, (NewNode, node),     \
      ((Node, parent), (Object, object), (Role, role)),                                            \
      "Creates a sphere fitted around an engine object, with the object hung on it; 0 when the "   \
      "engine has no such object.")                                                                \
    X(28, OT_CreateObjectBox2, OT_CreateObjectBox, Link, ObjectFigures, (NewNode, node),           \
      ((Node, parent), (Object, object)),                                                          \
      "The box of OT_CreateObjectBox with a role, with role 1 (normal).")                          \
    X(29, OT_CreateObjectSphere2, OT_CreateObjectSphere, Link, ObjectFigures, (NewNode, node),     \
      ((Node, parent), (Object, object)),                                                          \
      "The sphere of OT_CreateObjectSphere with a role, with role 1 (normal).")                    \
    X(30, OT_CreateLimbBox1, OT_CreateLimbBox, Link, LimbFigures, (NewNode, node),                 \
      ((Node, parent), (Object, object), (Limb, limb), (Role, role)),                              \
      "Creates a box fitted around one limb of an engine object, with the limb hung on it; 0 "     \
      "when the engine has no such limb.")                                                         \
    X(31, OT_CreateLimbSphere1, OT_CreateLimbSphere, Link, LimbFigures, (NewNode, node),           \
      ((Node, parent), (Object, object), (Limb, limb), (Role, role)),                              \
      "Creates a sphere fitted around one limb of an engine object, with the limb hung on it; "    \
      "0 when the engine has no such limb.")                                                       \
    X(32, OT_CreateLimbBox2, OT_CreateLimbBox, Link, LimbFigures, (NewNode, node),                 \
      ((Node, parent), (Object, object), (Limb, limb)),                                            \
      "The box of OT_CreateLimbBox with a role, with role 1 (normal).")                            \
    X(33, OT_CreateLimbSphere2, OT_CreateLimbSphere, Link, LimbFigures, (NewNode, node),           \
      ((Node, parent), (Object, object), (Limb, limb)),                                            \
      "The sphere of OT_CreateLimbSphere with a role, with role 1 (normal).")                      \
    X(34, OT_TestBox, OT_TestBox, NoLink, Nothing, (Flag, inside),                                 \
      ((Float, xa), (Float, ya), (Float, za), (Float, xb), (Float, yb), (Float, zb)),              \
      "1 when some of the box is inside the last frustum taken, else 0.")                          \
    X(35, OT_TestSphere, OT_TestSphere, NoLink, Nothing, (Flag, inside),                           \
      ((Float, x), (Float, y), (Float, z), (Float, radius)),                                       \
      "1 when some of the sphere is inside the last frustum taken, else 0.")                       \
    X(36, OT_TestPoint, OT_TestPoint, NoLink, Nothing, (Flag, inside),                             \
      ((Float, x), (Float, y), (Float, z)),                                                        \
      "1 when the point is inside the last frustum taken, else 0.")                                \
    X(37, OT_SetParent, OT_SetParent, NoLink, Nothing, (None, ),                                   \
      ((Node, node), (Node, newParent)),                                                           \
      "Moves the node (with its subtree) under a new parent; 0 makes it a top-level node. A "      \
      "move under itself or its own subtree does nothing.")                                        \
    X(38, OT_SetPosition, OT_SetPosition, NoLink, Nothing, (None, ),                               \
      ((Node, node), (Float, x), (Float, y), (Float, z)),                                          \
      "Moves the node's volume so that its position is the point given; a box keeps its size.")    \
    X(39, OT_SetBox, OT_SetBox, NoLink, Nothing, (None, ),                                         \
      ((Node, node), (Float, xa), (Float, ya), (Float, za), (Float, xb), (Float, yb),              \
       (Float, zb)),                                                                               \
      "Sets the node's two box corners.")                                                          \
    X(40, OT_SetBoxSize, OT_SetBoxSize, NoLink, Nothing, (None, ),                                 \
      ((Node, node), (Float, width), (Float, height), (Float, depth)),                             \
      "Resizes the node's box around its position.")                                               \
    X(41, OT_SetRadius, OT_SetRadius, NoLink, Nothing, (None, ), ((Node, node), (Float, radius)),  \
      "Sets the node's radius.")                                                                   \
    X(42, OT_GetPositionX, OT_GetPositionX, NoLink, Nothing, (Float, x), ((Node, node)),           \
      "The x of the node's position (a box's centre, a sphere's or point's centre).")              \
    X(43, OT_GetPositionY, OT_GetPositionY, NoLink, Nothing, (Float, y), ((Node, node)),           \
      "The y of the node's position.")                                                             \
    X(44, OT_GetPositionZ, OT_GetPositionZ, NoLink, Nothing, (Float, z), ((Node, node)),           \
      "The z of the node's position.")                                                             \
    X(45, OT_GetRadius, OT_GetRadius, NoLink, Nothing, (Float, radius), ((Node, node)),            \
      "The node's radius (0 for a box or point created as such).")                                 \
    X(46, OT_GetBoxWidth, OT_GetBoxWidth, NoLink, Nothing, (Float, width), ((Node, node)),         \
      "The box's extent along x (xb - xa).")                                                       \
    X(47, OT_GetBoxHeight, OT_GetBoxHeight, NoLink, Nothing, (Float, height), ((Node, node)),      \
      "The box's extent along y (yb - ya).")                                                       \
    X(48, OT_GetBoxDepth, OT_GetBoxDepth, NoLink, Nothing, (Float, depth), ((Node, node)),         \
      "The box's extent along z (zb - za).")                                                       \
    X(49, OT_GetBoxXA, OT_GetBoxXA, NoLink, Nothing, (Float, xa), ((Node, node)),                  \
      "The x of the box's first corner (for a sphere or point: its centre).")                      \
    X(50, OT_GetBoxYA, OT_GetBoxYA, NoLink, Nothing, (Float, ya), ((Node, node)),                  \
      "The y of the box's first corner.")                                                          \
    X(51, OT_GetBoxZA, OT_GetBoxZA, NoLink, Nothing, (Float, za), ((Node, node)),                  \
      "The z of the box's first corner.")                                                          \
    X(52, OT_GetBoxXB, OT_GetBoxXB, NoLink, Nothing, (Float, xb), ((Node, node)),                  \
      "The x of the box's second corner.")                                                         \
    X(53, OT_GetBoxYB, OT_GetBoxYB, NoLink, Nothing, (Float, yb), ((Node, node)),                  \
      "The y of the box's second corner.")                                                         \
    X(54, OT_GetBoxZB, OT_GetBoxZB, NoLink, Nothing, (Float, zb), ((Node, node)),                  \
      "The z of the box's second corner.")                                                         \
    X(55, OT_GetParent, OT_GetParent, NoLink, Nothing, (Node, parent), ((Node, node)),             \
      "The node's parent; 0 for a top-level node.")                                                \
    X(56, OT_EnablePortal, OT_EnablePortal, NoLink, Nothing, (None, ), ((Portal, portal)),         \
      "Lets the flood pass through the portal again.")                                             \
    X(57, OT_DisablePortal, OT_DisablePortal, NoLink, Nothing, (None, ), ((Portal, portal)),       \
      "Closes the portal: the flood does not pass through it (a shut door).")                      \
    X(58, OT_PortalEnabled, OT_PortalEnabled, NoLink, Nothing, (Flag, enabled),                    \
      ((Portal, portal)),                                                                          \
      "1 when the portal is enabled, else 0.")                                                     \
    X(59, OT_GetPortalPortal, OT_GetPortalPortal, NoLink, Nothing, (Node, portalNode),             \
      ((Portal, portal)),                                                                          \
      "The portal's opening node.")                                                                \
    X(60, OT_GetPortalA, OT_GetPortalA, NoLink, Nothing, (Node, zoneA), ((Portal, portal)),        \
      "The portal's first zone.")                                                                  \
    X(61, OT_GetPortalB, OT_GetPortalB, NoLink, Nothing, (Node, zoneB), ((Portal, portal)),        \
      "The portal's second zone.")
// clang-format on
