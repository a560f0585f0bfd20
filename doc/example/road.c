roadl_200(user,com,dir)
OBJECT user;
int com,dir;
{
int links[]={ -1,-1,201,100,-1,-1,-1,-1,-1,-1,-1,-1 };
switch(com)
{
case 0: write_user(user,"East Road\n");write_user(user,"");
exits_contents(user,links,""); return 0;
case 1: return links[dir];
case 4: write_user(user,"East Road\n");
exits_contents(user,links,"");}return 0;}

roadl_201(user,com,dir)
OBJECT user;
int com,dir;
{
int links[]={ -1,-1,-1,200,-1,-1,-1,-1,-1,-1,-1,-1 };
switch(com)
{
case 0: write_user(user,"Milestone\n");write_user(user,"");
exits_contents(user,links,""); return 0;
case 1: return links[dir];
case 4: write_user(user,"Milestone\n");
exits_contents(user,links,"");}return 0;}

