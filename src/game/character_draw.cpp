// Drawing a character: the model at its head, the weapon in hand, the local
// player's muzzle flash, and the hit spheres while ShowNodes is set.
#include "core/gl_api.h"
#include "game/characters.h"
#include "game/weapons.h"
#include "render/model.h"
#include "world/frustum.h"
#include "world/octree.h"

static const TWeapon* HeldWeapon(const TCharacter& c) {
  if (!Weapons) return nullptr;
  auto pick = [](const std::vector<std::unique_ptr<TWeapon>>& list, int32_t i) -> const TWeapon* {
    return i >= 0 && static_cast<size_t>(i) < list.size() ? list[static_cast<size_t>(i)].get() : nullptr;
  };
  if (c.WeaponSlot == 0) return pick(Weapons->Rifles, c.RifleIndex);
  if (c.WeaponSlot == 1) return pick(Weapons->Pistols, c.PistolIndex);
  return nullptr;
}

void TCharacter::Draw(int32_t camMode, bool viewed) {
  if (ModelNr < 0 || Dead) return;
  // Drawn where the smoothed picture has it; the spheres keep the real place.
  const TViewPose pose = DrawnPose();
  const TVec3 shift = VecSub(pose.Position, Position());
  const TVec3 b = VecAdd(BoundSphere.Centre, shift);
  if (!viewed && Frustum && !Frustum->SphereVisible(b.x, b.y, b.z, BoundSphere.Radius)) return;
  glPushMatrix();
  glTranslatef(pose.Position.x, HeadSphere.Centre.y + shift.y, pose.Position.z);
  glRotatef(90 - pose.Yaw, 0, 1, 0);
  if (viewed && camMode == 0) glRotatef(pose.Pitch, 1, 0, 0);
  if (Model) Model->Draw();

  glPushMatrix();
  glTranslatef(-0.1032f, -0.1698f, 0.6012f);
  glRotatef(5, -0.5f, 1, 0);
  if (const TWeapon* w = HeldWeapon(*this)) w->Draw();
  if (IsLocal() && Owner.Effects) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    glTranslatef(0, 0, 0.5f);
    glRotatef(90, 1, 0, 0);
    Owner.Effects->DrawMuzzleFlash();
    glColor3f(1, 1, 1);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
  }
  glPopMatrix();

  if (ShowNodes) {
    if (!Owner.SphereQuadric) {
      GLUquadric* q = gluNewQuadric();
      gluQuadricDrawStyle(q, GLU_LINE);
      Owner.SphereQuadric = q;
    }
    for (const TSphere* s : {&BoundSphere, &LegsSphere, &ChestSphere, &HeadSphere}) {
      glPushMatrix();
      glTranslatef(0, s->Centre.y - Y, 0);
      gluSphere(static_cast<GLUquadric*>(Owner.SphereQuadric), s->Radius, 20, 20);
      glPopMatrix();
    }
  }
  glPopMatrix();
}
